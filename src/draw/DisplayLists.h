#pragma once

namespace velmorra::draw {

// A run of `count` consecutive new list names; 0 when none could be made.
unsigned int generateLists(int count);
// What is drawn until endList is recorded into `list`, not drawn.
void beginList(unsigned int list);
void endList();
void callList(unsigned int list);
void deleteLists(unsigned int first, int count);

} // namespace velmorra::draw
