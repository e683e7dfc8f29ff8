#include "popup_fixture.h"
