#pragma once

namespace quellbo::app {

// Waits at least ms milliseconds while window events keep being handled; 0
// or less still handles them once.
void waitMs(int ms);

}  // namespace quellbo::app
