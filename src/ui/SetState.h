#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/TMessageTable.h"
#include "params/TIgnParams.h"

namespace kelmor {

// What the window knows of the set it shows: the file that holds it (as
// last opened or saved), what the unit holds (as the last transfer found)
// and whether it is the set of the last session. Whether the shown set
// differs is worked out from the contents, so an undo back to the saved or
// programmed set clears the marks again.
class SetState {
  public:
    enum class Unit : uint8_t { Unknown, Holds, Differs };

    // The start-up took the set of the last session from the start-up image.
    void StartedFromImage();
    // The set was opened from or saved to `path`.
    void FileIs(const std::string& path, const TIgnParams& set);
    // No file holds the set any more (New, a read from the unit).
    void NoFile();
    // The unit holds `set`, as a transfer found.
    void UnitHolds(const TIgnParams& set);
    void UnitUnknown();

    // Whether the unit holds `shown`; the read protection is not compared,
    // as the verify does not compare it.
    Unit UnitState(const TIgnParams& shown) const;
    // The file the set was opened from or saved to, while `labelFile` (the
    // window's file label) still names it; empty otherwise.
    std::string_view File(std::string_view labelFile) const;
    // Whether `shown` differs in anything the file holds.
    bool DiffersFromFile(const TIgnParams& shown) const;
    bool FromLastSession() const { return LastSession; }

    // The window title for `base`: "race.ign* - base" while the set differs
    // from race.ign, "race.ign (set of the last session) - base" after a
    // start; written into `out`, which keeps its capacity.
    void Title(std::string_view base, std::string_view labelFile, const TIgnParams& shown,
               const TMessageTable& t, std::string& out) const;

  private:
    std::string FilePath;
    TIgnParams FileSet{};
    bool FileKnown = false;
    bool LastSession = false;
    TIgnParams UnitSet{};
    bool UnitKnown = false;
};

} // namespace kelmor
