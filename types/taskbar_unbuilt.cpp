// Taskbar section calls into the section transitions, which are not built
// yet: buttons move without animation until they are.
#include "types/taskbar_section.h"

void CVellumMenuSection_Taskbar::MarkStartTransition() {}
void CVellumMenuSection_Taskbar::MarkEndTransition() {}
void CVellumMenuSection_Taskbar::StartTransition() {}
void CVellumMenuSection_Taskbar::EndTransition() {}
