#pragma once

namespace vellumite {

// Whether an export replaces what a store holds or adds the tree to it ("Add bookmarks to browsers
// source").
enum class ExportMode { Replace, Merge };

} // namespace vellumite
