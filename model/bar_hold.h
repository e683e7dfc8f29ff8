// A counted reference on a bar for the length of a piece of work that may
// close it: a modal loop, a message it relays, a call into a section.
#pragma once
#include "model/vellum_menu_object.h"

class BarHold {
public:
    explicit BarHold(CVellumMenuObject* bar) : bar_(bar) {
        if (bar_) bar_->AddRef();
    }
    ~BarHold() {
        if (bar_) bar_->Release();
    }
    BarHold(const BarHold&) = delete;
    BarHold& operator=(const BarHold&) = delete;

private:
    CVellumMenuObject* bar_;
};
