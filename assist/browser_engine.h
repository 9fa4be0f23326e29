#pragma once

namespace quellbo::assist {

// What the browser engine of the credentials window needs of the process;
// call it before the QApplication exists.
void prepareBrowserEngine();

}  // namespace quellbo::assist
