#include "cli/output_paths.h"

#include <system_error>

#include "cli/problem_report.h"

namespace vane::cli {

Outcome<void> checkNoOutputIsAnInput(const std::vector<NamedFile>& inputs,
                                     const std::vector<NamedFile>& outputs) {
    for (const NamedFile& output : outputs) {
        for (const NamedFile& input : inputs) {
            if (!output.path || !input.path) {
                continue;
            }
            std::error_code code;
            if (std::filesystem::equivalent(*output.path, *input.path, code) && !code) {
                return badUsage(output.option + " " + output.path->string() +
                                " is the same file as " + input.option + " " +
                                input.path->string() + ", which writing it would replace");
            }
        }
    }
    return {};
}

}  // namespace vane::cli
