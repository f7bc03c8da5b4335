#include "ui/TPlatform.h"

#include <ctime>

namespace kelmor {

LocalTime TPlatform::LocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#if defined(_WIN32)
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

bool TPlatform::WriteRecordPdf(const std::string& /*path*/, const WorkshopRecord& /*record*/,
                               std::string& error) {
    error = "PDF output is not available here.";
    return false;
}

void TPlatform::ShowTable(std::string_view title, const std::vector<std::string>& columns,
                          const std::vector<std::vector<std::string>>& rows) {
    // Without a table to show, the rows go into one box, a line each.
    std::string text(title);
    auto line = [&text](const std::vector<std::string>& cells) {
        text += '\n';
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += " | ";
            text += cells[i];
        }
    };
    line(columns);
    for (const std::vector<std::string>& row : rows)
        line(row);
    MessageBox(text);
}

} // namespace kelmor
