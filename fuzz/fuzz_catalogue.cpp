// Feeds arbitrary bytes to the catalogue reader and the settings-file parser. The catalogue must
// keep only whole records, never more than the object list holds, and every kept record must write
// and read back unchanged (names cut by the stored-name rule aside). Settings-file edits keep
// everything but the values they change.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/ini_settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/star_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace celes;
    const CatalogueLoad load = readCatalogue({data, size});
    if (load.records.size() > static_cast<std::size_t>(kMaxCatalogueRecords)) __builtin_trap();
    if (load.recordsRead < 0 || static_cast<std::size_t>(load.recordsRead) * kVersion1001MinBytes > size)
        __builtin_trap();
    for (const StarRecord& r : load.records) {
        if (r.type >= kFirstRejectedType || (r.magnitude == 0.0 && r.ra == 0.0)) __builtin_trap();
        std::vector<std::uint8_t> out;
        writeStarRecord(out, r);
        ByteReader in(out);
        StarRecord back;
        if (readStarRecord(in, back) != RecordReadStatus::Ok || in.remaining() != 0) __builtin_trap();
        if (back.number != r.number || back.type != r.type || back.classText != r.classText) __builtin_trap();
    }
    (void)catalogueProblemMessage(load);

    const std::string text(reinterpret_cast<const char*>(data), size);
    using Store = platform::IniSettingsStore;
    const Store::Entries entries = Store::parse(text);
    // Changing, adding and removing values touches only those values: the edited file reads back
    // as the old one with the changes made.
    Store::Changes changes;
    Store::Entries expected = entries;
    int n = 0;
    for (const auto& [key, raw] : entries) {
        if (n++ % 2) {
            changes[key] = std::nullopt;
            expected.erase(key);
        } else {
            changes[key] = "\"" + std::to_string(n) + "\"";
            expected[key] = *changes[key];
        }
    }
    changes[{"NEW", "VALUE"}] = "1";
    expected[{"NEW", "VALUE"}] = "1";
    if (Store::parse(Store::applyChanges(text, changes)) != expected) __builtin_trap();
    return 0;
}
