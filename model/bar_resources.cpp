// The bar's own drawing handles: the memory bitmap, the background cache and
// the copy of the window region. Their fields are plain handles because the
// class layout is exported; every replacement and release goes through here.
#include "model/vellum_menu_object.h"

#include <utility>

namespace {

// Hands the field the new handle and gives back the one it held, which the
// caller's owner then frees. Handing it the handle it already holds changes
// nothing.
template <typename Owner, typename Handle>
Owner Exchange(Handle& field, Owner fresh) {
    if (fresh.get() == field) {
        fresh.release();
        return Owner();
    }
    Owner old(field);
    field = fresh.release();
    return old;
}

}  // namespace

void CVellumMenuObject::ReplaceMemoryBitmap(tess::ScopedBitmap bitmap, SIZE size) {
    tess::ScopedBitmap old = Exchange(m_memoryBitmap, std::move(bitmap));
    m_memoryBitmapSize = m_memoryBitmap ? size : SIZE{0, 0};
}

void CVellumMenuObject::ReplaceBackgroundCache(tess::ScopedBitmap bitmap, SIZE size) {
    tess::ScopedBitmap old = Exchange(m_backgroundCache, std::move(bitmap));
    m_backgroundCacheSize = m_backgroundCache ? size : SIZE{0, 0};
}

void CVellumMenuObject::ReplaceRegionCopy(tess::ScopedRegion region) {
    tess::ScopedRegion old = Exchange(m_regionCopy, std::move(region));
}
