// Replaced as the engine arrives.
