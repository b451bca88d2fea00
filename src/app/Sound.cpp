#include "app/Sound.h"

namespace velmorra {

void Sound::play(const char* /*fileName*/) {}

} // namespace velmorra
