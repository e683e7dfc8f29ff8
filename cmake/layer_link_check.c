/* The body of the layer check DLLs (cmake/layers.cmake): everything they
   hold comes from the whole layer library linked into them. */
int tess_layer_link_check;
