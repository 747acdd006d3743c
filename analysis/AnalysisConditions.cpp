#include "AnalysisConditions.h"

#include "ConfigKeys.h"
#include "ConfigStore.h"

namespace anacon {

const std::array<ConditionRow, 3> kThresholdRows = {{
    {1549, "弯曲", "IDS_EVENT_CON_BEND_TH", 1005, 1547, 1548, "dB   [0.01～9.99]", cfg::kBendTH,
     &AnalysisSettings::BendTH, {0.01, 9.99, 0.01, 2}},
    {1412, "反射门限", "IDS_EVENT_CON_REFLECT_TH", 1006, 1551, 1552, "dB   [0.01～32.00]", cfg::kReflectTH,
     &AnalysisSettings::ReflectTH, {0.01, 32.00, 0.01, 2}},
    {1553, "光纤末端", "IDS_EVENT_CON_OPTICAL_TERMIAL", 1007, 1554, 1555, "dB   [3.0～15.0]", cfg::kTermial,
     &AnalysisSettings::Termial, {3, 15, 1, 0}},
}};

const std::array<ConditionRow, 3> kBackscatterRows = {{
    {1662, "1310nm", "", 0, 1557, 1558, "dB   [-81.5～ -52.0]", cfg::kBackScatter, &AnalysisSettings::BackScatter,
     {-81.5, -52.0, 0.01, 2}},
    {1663, "1550nm", "", 0, 1559, 1560, "dB   [-79.0～ -52.0]", cfg::kBackScatter1550,
     &AnalysisSettings::BackScatter1550, {-79.0, -52.0, 0.01, 2}},
    {1664, "1625nm", "", 0, 1563, 1564, "dB   [-79.0～ -52.0]", cfg::kBackScatter1625,
     &AnalysisSettings::BackScatter1625, {-79.0, -52.0, 0.01, 2}},
}};

const std::array<ConditionRow, 3> kRefractionRows = {{
    {1663, "1310nm", "", 0, 1550, 1551, "dB   [1.400～1.600]", cfg::kRefraction, &AnalysisSettings::Refraction,
     {1.4, 1.6, 0.0001, 4}},
    {1664, "1550nm", "", 0, 1554, 1555, "dB   [1.400～1.600]", cfg::kRefraction1550,
     &AnalysisSettings::Refraction1550, {1.4, 1.6, 0.0001, 4}},
    {1666, "1625nm", "", 0, 1558, 1559, "dB   [1.000-2.000]", cfg::kRefraction1625,
     &AnalysisSettings::Refraction1625, {1.0, 2.0, 0.0001, 4}},
}};

SearchPageValues searchPageFromSettings(const AnalysisSettings& settings)
{
    SearchPageValues v;
    for (size_t i = 0; i < 3; ++i) {
        const float value = settings.*kThresholdRows[i].field;
        v.automatic[i] = value == 0;
        v.threshold[i] = value;
        v.backscatter[i] = settings.*kBackscatterRows[i].field;
    }
    return v;
}

std::array<double, 3> analysisPageFromSettings(const AnalysisSettings& settings)
{
    std::array<double, 3> v{};
    for (size_t i = 0; i < 3; ++i)
        v[i] = settings.*kRefractionRows[i].field;
    return v;
}

void applySearchPage(const ConfigStore& store, AnalysisSettings& settings, const SearchPageValues& values)
{
    for (size_t i = 0; i < 3; ++i) {
        const ConditionRow& row = kThresholdRows[i];
        if (values.automatic[i]) {
            settings.*row.field = 0;
            store.write(cfg::kEventAnal, row.key, "0");
        } else {
            settings.*row.field = static_cast<float>(values.threshold[i]);
            store.writeFixed(cfg::kEventAnal, row.key, settings.*row.field, 2);
        }
    }
    for (size_t i = 0; i < 3; ++i) {
        const ConditionRow& row = kBackscatterRows[i];
        settings.*row.field = static_cast<float>(values.backscatter[i]);
        store.writeFixed(cfg::kEventAnal, row.key, settings.*row.field, 2);
    }
}

void applyAnalysisPage(const ConfigStore& store, AnalysisSettings& settings, const std::array<double, 3>& refraction)
{
    for (size_t i = 0; i < 3; ++i) {
        const ConditionRow& row = kRefractionRows[i];
        settings.*row.field = static_cast<float>(refraction[i]);
        store.writeFixed(cfg::kEventAnal, row.key, settings.*row.field, 4);
    }
}

} // namespace anacon
