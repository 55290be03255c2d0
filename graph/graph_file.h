#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/outcome/outcome.h"
#include "graph/plot_model.h"

namespace vane::graph {

// Raster size in pixels; vector files get a page of half as many points, so that every format
// shows the same figure.
struct PictureSize {
    int widthPixels = 1200;
    int heightPixels = 800;
};

// Writes the graph to `path` in `format`, or by default in the format its extension names: "pdf"
// (vector, fonts embedded), "svg", or any image format Qt can write ("png", "jpg", "tiff", ...).
// The file is written whole under a temporary name and then renamed, so a failed write keeps the
// earlier file. Needs a QGuiApplication (see OffscreenGui). A failure is the "Graph not saved"
// alert, its message naming the path.
Outcome<void> writeGraphFile(const XYGraph& graph, const std::filesystem::path& path,
                             PictureSize size = {},
                             std::optional<std::string> format = std::nullopt);

// The extensions writeGraphFile writes, for a save panel: "pdf", "png" and "svg" first, then the
// other common image formats whose Qt plug-in is installed ("tiff", "jpg", ...).
std::vector<std::string> graphFileTypes();

}  // namespace vane::graph
