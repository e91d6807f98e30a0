#include "GalleryPages.h"

void PlayAnimationsPage(CalUI::CWindowManagerUI& manager) { HoverGalleryControl(manager, L"anim_button"); }
