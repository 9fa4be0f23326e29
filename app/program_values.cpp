#include "app/program_values.h"

namespace quellbo::app {

ProgramValues& programValues() {
  static ProgramValues values;
  return values;
}

}  // namespace quellbo::app
