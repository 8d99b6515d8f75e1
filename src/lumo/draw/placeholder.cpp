// Replaced as the drawing routines arrive.
