// The model file's units join this library.
