// Placeholder source so a layer with no code yet still forms a library.
