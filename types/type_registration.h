// How a section or item class of this folder joins the model's factory: a
// namespace-scope registration object in the class's own file, constructed
// while the program loads (the layer is linked whole, so none is dropped).
//
//   const ItemClassRegistration kPopup("Popup", MakePopupItem);
#pragma once
#include "model/section_factory.h"

struct SectionClassRegistration {
    SectionClassRegistration(const char* typeName, SectionClassMaker make) {
        RegisterSectionClass(typeName, make);
    }
};

struct ItemClassRegistration {
    ItemClassRegistration(const char* typeName, ItemClassMaker make) {
        RegisterItemClass(typeName, make);
    }
};

struct DefaultItemClassRegistration {
    explicit DefaultItemClassRegistration(ItemClassMaker make) { RegisterDefaultItemClass(make); }
};

struct DefaultSectionClassRegistration {
    explicit DefaultSectionClassRegistration(SectionClassMaker make) { RegisterDefaultSectionClass(make); }
};
