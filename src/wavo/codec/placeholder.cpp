// Replaced as the decoders arrive.
