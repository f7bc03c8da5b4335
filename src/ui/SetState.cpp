#include "ui/SetState.h"

#include "params/ParamFields.h"

namespace kelmor {

namespace {
std::string_view BaseName(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
} // namespace

void SetState::StartedFromImage() {
    LastSession = true;
}

void SetState::FileIs(const std::string& path, const TIgnParams& set) {
    FilePath = path;
    FileSet = set;
    FileKnown = true;
    LastSession = false;
}

void SetState::NoFile() {
    FileKnown = false;
    FilePath.clear();
    LastSession = false;
}

void SetState::UnitHolds(const TIgnParams& set) {
    UnitSet = set;
    UnitKnown = true;
}

void SetState::UnitUnknown() {
    UnitKnown = false;
}

SetState::Unit SetState::UnitState(const TIgnParams& shown) const {
    if (!UnitKnown) return Unit::Unknown;
    const auto* a = reinterpret_cast<const uint8_t*>(&shown);
    const auto* b = reinterpret_cast<const uint8_t*>(&UnitSet);
    for (size_t k = 0; k < sizeof(TIgnParams); ++k)
        if (k != ZAKAZ_CTENI_OFFSET && a[k] != b[k]) return Unit::Differs;
    return Unit::Holds;
}

std::string_view SetState::File(std::string_view labelFile) const {
    return FileKnown && labelFile == FilePath ? std::string_view(FilePath) : std::string_view();
}

bool SetState::DiffersFromFile(const TIgnParams& shown) const {
    // The fields a .ign file holds; the keying type is 0 in the window's set.
    for (const ParamField& f : ParamFields())
        if (StoredValue(f, shown) != StoredValue(f, FileSet)) return true;
    return false;
}

void SetState::Title(std::string_view base, std::string_view labelFile, const TIgnParams& shown,
                     const TMessageTable& t, std::string& out) const {
    out.clear();
    const std::string_view file = File(labelFile);
    if (!file.empty()) {
        out += BaseName(file);
        if (DiffersFromFile(shown)) out += '*';
        out += " - ";
    } else if (LastSession) {
        if (!labelFile.empty()) {
            out += BaseName(labelFile);
            out += " (";
            out += t.MsgLastSession;
            out += ") - ";
        } else {
            out += t.MsgLastSession;
            out += " - ";
        }
    }
    out += base;
}

} // namespace kelmor
