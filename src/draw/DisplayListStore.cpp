#include "draw/DisplayListStore.h"

#include "draw/FixedFunctionProgram.h"

#include <utility>

namespace velmorra::draw {

DisplayListStore::~DisplayListStore() {
    while (!lists.empty()) {
        remove(lists.begin()->first);
    }
}

unsigned int DisplayListStore::generate(int count) {
    if (count <= 0) {
        return 0;
    }
    const unsigned int first = nextName;
    nextName += static_cast<unsigned int>(count);
    return first;
}

void DisplayListStore::begin(unsigned int list) {
    remove(list);
    lists[list];
    compiling = list;
    vertices.clear();
    ownColor = false;
}

void DisplayListStore::end() {
    if (compiling != 0) {
        closeVertices();
        compiling = 0;
    }
}

bool DisplayListStore::isCompiling() const {
    return compiling != 0;
}

VertexBatch& DisplayListStore::compiledVertices() {
    return vertices;
}

void DisplayListStore::noteColor() {
    ownColor = true;
}

void DisplayListStore::record(std::function<void()> change) {
    closeVertices();
    lists[compiling].commands.emplace_back(std::move(change));
}

void DisplayListStore::closeVertices() {
    if (vertices.empty()) {
        return;
    }
    const unsigned int buffer =
        FixedFunctionProgram::upload(vertices.vertices().data(), vertices.vertices().size());
    lists[compiling].commands.emplace_back(RecordedGeometry{buffer, vertices, ownColor});
    vertices.clear();
}

const RecordedList* DisplayListStore::find(unsigned int list) const {
    const auto found = lists.find(list);
    return found == lists.end() ? nullptr : &found->second;
}

void DisplayListStore::remove(unsigned int list) {
    const auto found = lists.find(list);
    if (found == lists.end()) {
        return;
    }
    for (const auto& command : found->second.commands) {
        if (const auto* geometry = std::get_if<RecordedGeometry>(&command)) {
            FixedFunctionProgram::release(geometry->buffer);
        }
    }
    lists.erase(found);
}

} // namespace velmorra::draw
