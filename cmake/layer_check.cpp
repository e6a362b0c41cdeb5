// Intentionally empty: the layer check links a layer's whole library, and
// the library brings everything that is checked.
