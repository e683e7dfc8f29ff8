// The types layer's own start: nothing to do beyond the registrations that
// each class's file makes; this file keeps the layer a library while it has
// no class yet.
#include "types/type_registration.h"
