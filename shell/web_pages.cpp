// Opening the maker's web pages.
#include "shell/web_pages.h"

#include <shellapi.h>

namespace {

void OpenWithShell(const char* url) {
    ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

WebPageOpener& WebPageOpenerFunction() {
    static WebPageOpener opener = OpenWithShell;
    return opener;
}

void OpenWebPage(const char* url) {
    if (url && url[0] && WebPageOpenerFunction()) WebPageOpenerFunction()(url);
}
