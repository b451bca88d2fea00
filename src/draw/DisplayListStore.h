#pragma once

#include "draw/RecordedList.h"
#include "draw/VertexBatch.h"

#include <functional>
#include <map>

namespace velmorra::draw {

// The display lists of the gles2 backend: names handed out, the list being compiled (its
// vertices gathered, then made a buffer at each state change and at its end) and the lists
// kept for replay. Buffers are freed with their list.
class DisplayListStore {
  public:
    DisplayListStore() = default;
    ~DisplayListStore();
    DisplayListStore(const DisplayListStore&) = delete;
    DisplayListStore& operator=(const DisplayListStore&) = delete;

    // A run of `count` consecutive new names; 0 for none.
    unsigned int generate(int count);

    // Compiling `list` from now on (what it held before is gone).
    void begin(unsigned int list);
    void end();
    bool isCompiling() const;
    // Where the compiled list's vertices go; noteColor says they carry their own colours.
    VertexBatch& compiledVertices();
    void noteColor();
    // A state change into the list being compiled, after the vertices before it.
    void record(std::function<void()> change);
    // The vertices gathered so far become a buffer of the list.
    void closeVertices();

    const RecordedList* find(unsigned int list) const;
    void remove(unsigned int list);

  private:
    std::map<unsigned int, RecordedList> lists;
    unsigned int nextName = 1;
    unsigned int compiling = 0;
    VertexBatch vertices;
    bool ownColor = false;
};

} // namespace velmorra::draw
