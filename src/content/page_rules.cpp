#include "content/page_rules.h"

#include "content/page_script_grammar.h"
#include "content/tilde_lines.h"

#include <string>
#include <vector>

namespace tavelio {

bool HasScript(const QVDBType& record) {
    const std::vector<std::string> lines = SplitTildeLines(record.ScriptText);
    return ModeOfScript(ScriptLines(lines)).has_value();
}

} // namespace tavelio
