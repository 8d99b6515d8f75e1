// A module without sources yet still makes a library.
