#include "PrintSheetValues.h"

#include "PrintText.h"

#include "ConfigStore.h"
#include "TraceTable.h"

using namespace printout;

int readSelfDefine(const ConfigStore& store)
{
    return store.readNonzeroFlag(kSection, "SelfDefine") ? 1 : 0;
}

void loadConfigValues(PrintSheetValues& v, const ConfigStore& store, const TraceTable& table)
{
    for (std::size_t i = 0; i < kLinkKeys.size(); ++i)
        v.link[i] = store.read(kSection, kLinkKeys[i]);
    if (v.selfDefine) {
        for (std::size_t i = 0; i < kMeasurementKeys.size(); ++i)
            v.measurement[i] = store.read(kSection, kMeasurementKeys[i]);
    } else if (table.loadedCount > 0 && TraceTable::validSlot(table.currentTrace)) {
        v.measurement = traceMeasurementValues(table.record(table.currentTrace), 6);
    }
}

void loadSheetValues(PrintSheetValues& v, const ConfigStore& store, const TraceTable& table)
{
    for (std::size_t i = 0; i < kContentKeys.size(); ++i)
        v.content[i] = store.readNonzeroFlag(kSection, kContentKeys[i]) ? 1 : 0;
    loadConfigValues(v, store, table);
    for (std::size_t i = 0; i < kJobKeys.size(); ++i)
        v.job[i] = store.read(kSection, kJobKeys[i]);
    if (table.loadedCount > 0 && TraceTable::validSlot(table.currentTrace)) {
        v.fileName = table.slots[static_cast<std::size_t>(table.currentTrace)].fileName;
        v.testTime = formatTimeStamp(table.record(table.currentTrace).timeStamp);
    }
    v.comment = store.read(kSection, "Comment");
}

void saveConfigValues(const PrintSheetValues& v, const ConfigStore& store)
{
    for (std::size_t i = 0; i < kLinkKeys.size(); ++i)
        store.write(kSection, kLinkKeys[i], v.link[i]);
    store.writeInt(kSection, "SelfDefine", v.selfDefine);
    for (std::size_t i = 0; i < kMeasurementKeys.size(); ++i)
        store.write(kSection, kMeasurementKeys[i], v.measurement[i]);
}

void saveSheetValues(const PrintSheetValues& v, const ConfigStore& store)
{
    for (std::size_t i = 0; i < kContentKeys.size(); ++i)
        store.writeInt(kSection, kContentKeys[i], v.content[i]);
    saveConfigValues(v, store);
    for (std::size_t i = 0; i < kJobKeys.size(); ++i)
        store.write(kSection, kJobKeys[i], v.job[i]);
    store.write(kSection, "Comment", v.comment);
}

void clearConfigValues(PrintSheetValues& v)
{
    for (auto& s : v.link)
        s.clear();
    for (auto& s : v.measurement)
        s.clear();
}

void clearJobValues(PrintSheetValues& v)
{
    for (auto& s : v.job)
        s.clear();
    v.comment.clear();
}
