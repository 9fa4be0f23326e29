#pragma once

namespace quellbo::convert {

// The "转换→" action: converts the deal text of 编辑框1 into 编辑框2 with
// the status in 编辑框8, by the JD road for a text holding "jd", otherwise
// through the conversion service's three calls.
void runConversion();
// Puts newShareToken in place of every token-shaped piece of conversionInput.
void substituteShareToken();

}  // namespace quellbo::convert
