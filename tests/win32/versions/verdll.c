/* A DLL that carries nothing but its version resource. */
int VersionOnly;
