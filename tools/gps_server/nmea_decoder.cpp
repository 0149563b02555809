#include "tools/gps_server/nmea_decoder.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "tools/gps_server/nmea_text.h"

namespace {

constexpr double kKilometresPerNauticalMile = 1.852;
constexpr double kFeetPerMetre = 1.0 / 0.3048;
constexpr double kFeetPerFathom = 6.0;

// Reads an optional number: an empty field leaves `value` alone.
bool OptionalNumber(std::string_view field, float& value) {
    if (field.empty()) return true;
    double number = 0.0;
    if (!ParseDecimal(field, number)) return false;
    value = static_cast<float>(number);
    return true;
}

// An optional speed (not negative) or course (0 to 360 degrees).
bool OptionalSpeed(std::string_view field, float& value) {
    if (field.empty()) return true;
    float number = 0.0f;
    if (!OptionalNumber(field, number) || number < 0.0f) return false;
    value = number;
    return true;
}

bool OptionalCourse(std::string_view field, float& value) {
    if (field.empty()) return true;
    float number = 0.0f;
    if (!OptionalNumber(field, number) || number < 0.0f || number > 360.0f) return false;
    value = number;
    return true;
}

// An optional position from four fields (latitude, N/S, longitude, E/W). The record counts
// longitudes positive to the west.
bool OptionalPosition(const NmeaSentence& s, size_t first, GpsSnapshot& record) {
    const std::string_view latitude = s.Field(first), longitude = s.Field(first + 2);
    if (latitude.empty() && longitude.empty()) return true;
    double north = 0.0, east = 0.0;
    if (!ParseLatitude(latitude, s.Field(first + 1), north) ||
        !ParseLongitude(longitude, s.Field(first + 3), east)) {
        return false;
    }
    record.latitude = static_cast<float>(north);
    record.longitude = static_cast<float>(-east);
    return true;
}

bool OptionalTime(std::string_view field, GpsSnapshot& record) {
    return field.empty() || ParseTimeOfDay(field, record.utcTime);
}

// "A" valid, "V" void; anything else is not a status.
bool ReadStatus(std::string_view field, bool& valid) {
    if (field != "A" && field != "V") return false;
    valid = field == "A";
    return true;
}

// The mode indicator of NMEA 2.3 and later; "N" says the data are not valid.
bool ModeSaysValid(std::string_view field) {
    return field != "N";
}

SatelliteSystem SystemOfTalker(std::string_view talker) {
    if (talker == "GP") return SatelliteSystem::Gps;
    if (talker == "GL") return SatelliteSystem::Glonass;
    if (talker == "GA") return SatelliteSystem::Galileo;
    if (talker == "GB" || talker == "BD") return SatelliteSystem::BeiDou;
    if (talker == "GQ") return SatelliteSystem::Qzss;
    return SatelliteSystem::Combined;
}

// NMEA 4.11 system ids at the end of GSA: 1 GPS, 2 GLONASS, 3 Galileo, 4 BeiDou, 5 QZSS.
bool SystemOfId(std::string_view field, SatelliteSystem& system) {
    static constexpr SatelliteSystem kById[] = {SatelliteSystem::Combined, SatelliteSystem::Gps,
                                                SatelliteSystem::Glonass,  SatelliteSystem::Galileo,
                                                SatelliteSystem::BeiDou,   SatelliteSystem::Qzss};
    uint32_t id = 0;
    if (!ParseWhole(field, id)) return false;
    system = id < std::size(kById) ? kById[id] : SatelliteSystem::Combined;
    return true;
}

// Galileo, BeiDou and QZSS count their satellites from 1, like GPS; they are moved to their
// own ranges (301.., 401.., 193..) so that the record's list never holds one number twice.
uint16_t SatelliteNumber(SatelliteSystem system, uint32_t prn) {
    switch (system) {
    case SatelliteSystem::Galileo:
        return static_cast<uint16_t>(prn <= 36 ? prn + 300 : prn);
    case SatelliteSystem::BeiDou:
        return static_cast<uint16_t>(prn <= 63 ? prn + 400 : prn);
    case SatelliteSystem::Qzss:
        return static_cast<uint16_t>(prn <= 10 ? prn + 192 : prn);
    default:
        return static_cast<uint16_t>(prn);
    }
}

SatelliteGroup& GroupOf(ReceiverState& state, SatelliteSystem system) {
    return state.groups[static_cast<int>(system)];
}

bool OptionalAngle(std::string_view field, double limit, uint16_t& value) {
    if (field.empty()) return true;
    double number = 0.0;
    if (!ParseDecimal(field, number) || number > limit) return false;
    // Some receivers write a satellite just below the horizon with a negative elevation.
    value = static_cast<uint16_t>(std::lround(std::max(number, 0.0)));
    return true;
}

bool ApplyRmc(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 9) return false;
    GpsSnapshot& r = state.record;
    bool valid = false;
    if (!ReadStatus(s.Field(2), valid) || !OptionalTime(s.Field(1), r) ||
        !OptionalPosition(s, 3, r) || !OptionalSpeed(s.Field(7), r.speedKnots) ||
        !OptionalCourse(s.Field(8), r.course)) {
        return false;
    }
    if (!s.Field(9).empty() && !ParseDate(s.Field(9), r.utcTime)) return false;
    SetFixValid(state, valid && ModeSaysValid(s.Field(12)));
    return true;
}

bool ApplyGga(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 9) return false;
    GpsSnapshot& r = state.record;
    uint32_t quality = 0;
    if (!ParseWhole(s.Field(6), quality) || !OptionalTime(s.Field(1), r) ||
        !OptionalPosition(s, 2, r) || !OptionalNumber(s.Field(8), r.hdop) ||
        !OptionalNumber(s.Field(9), r.altitude) ||
        !OptionalNumber(s.Field(11), r.geoidSeparation)) {
        return false;
    }
    bool fromSatellites = true;
    if (!s.Field(7).empty()) {
        uint32_t used = 0;
        if (!ParseWhole(s.Field(7), used)) return false;
        r.satsUsed = static_cast<uint8_t>(std::min<uint32_t>(used, 255));
        // Some receivers claim a fix from no satellites while they start; that is none.
        fromSatellites = used != 0;
    }
    r.fixQuality = static_cast<int32_t>(quality);
    SetFixValid(state, quality != 0 && fromSatellites);
    return true;
}

bool ApplyGll(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 6) return false;
    GpsSnapshot& r = state.record;
    bool valid = false;
    if (!ReadStatus(s.Field(6), valid) || !OptionalPosition(s, 1, r) ||
        !OptionalTime(s.Field(5), r)) {
        return false;
    }
    SetFixValid(state, valid && ModeSaysValid(s.Field(7)));
    return true;
}

bool ApplyGsa(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 17) return false;
    GpsSnapshot& r = state.record;
    uint32_t mode = 0;
    if (!ParseWhole(s.Field(2), mode) || mode < 1 || mode > 3) return false;
    SatelliteSystem system = SystemOfTalker(s.talker);
    if (!s.Field(18).empty() && !SystemOfId(s.Field(18), system)) return false;
    SatelliteGroup& group = GroupOf(state, system);
    int used = 0;
    for (size_t field = 3; field <= 14; ++field) {
        if (s.Field(field).empty()) continue;
        uint32_t prn = 0;
        if (!ParseWhole(s.Field(field), prn) || prn > 999) return false;
        group.used[used++] = SatelliteNumber(system, prn);
    }
    if (!OptionalNumber(s.Field(15), r.pdop) || !OptionalNumber(s.Field(16), r.hdop) ||
        !OptionalNumber(s.Field(17), r.vdop)) {
        return false;
    }
    group.usedCount = used;
    state.fixMode = static_cast<int>(mode);
    SetFixValid(state, mode != kFixModeNone);
    ShowSatellites(state);
    return true;
}

bool ApplyGsv(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 3) return false;
    uint32_t total = 0, number = 0, inView = 0;
    if (!ParseWhole(s.Field(1), total) || !ParseWhole(s.Field(2), number) ||
        !ParseWhole(s.Field(3), inView) || number < 1 || number > total || inView > 255) {
        return false;
    }
    const SatelliteSystem system = SystemOfTalker(s.talker);
    SatelliteGroup& group = GroupOf(state, system);
    if (number == 1) group.pendingCount = 0;
    // Four fields a satellite; a single field after them is the signal id of NMEA 4.11.
    for (size_t first = 4; first + 3 <= s.fields.size(); first += 4) {
        if (s.Field(first).empty()) continue;
        SatelliteEntry entry{};
        uint32_t prn = 0;
        if (!ParseWhole(s.Field(first), prn) || prn == 0 || prn > 999 ||
            !OptionalAngle(s.Field(first + 1), 90.0, entry.elevation) ||
            !OptionalAngle(s.Field(first + 2), 360.0, entry.azimuth) ||
            !OptionalAngle(s.Field(first + 3), 99.0, entry.snr)) {
            return false;
        }
        entry.id = SatelliteNumber(system, prn);
        if (group.pendingCount < kSatelliteSlots) group.pending[group.pendingCount++] = entry;
    }
    // The group shows when its last sentence has come, even if an earlier one was lost.
    if (number == total) {
        std::copy(group.pending, group.pending + group.pendingCount, group.shown);
        group.shownCount = group.pendingCount;
        group.inView = static_cast<int>(inView);
        ShowSatellites(state);
    }
    return true;
}

bool ApplyVtg(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 8) return false;
    GpsSnapshot& r = state.record;
    float knots = r.speedKnots, kmh = -1.0f;
    if (!OptionalCourse(s.Field(1), r.course) || !OptionalSpeed(s.Field(5), knots) ||
        !OptionalSpeed(s.Field(7), kmh)) {
        return false;
    }
    if (s.Field(5).empty() && kmh >= 0.0f)
        knots = static_cast<float>(kmh / kKilometresPerNauticalMile);
    r.speedKnots = knots;
    return true;
}

bool ApplyZda(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 4) return false;
    GpsSnapshot& r = state.record;
    if (!OptionalTime(s.Field(1), r)) return false;
    if (s.Field(2).empty() && s.Field(3).empty() && s.Field(4).empty()) return true;
    uint32_t day = 0, month = 0, year = 0;
    return ParseWhole(s.Field(2), day) && ParseWhole(s.Field(3), month) &&
           ParseWhole(s.Field(4), year) && SetDate(year, month, day, r.utcTime);
}

void SetDepth(GpsSnapshot& r, double metres, double feet) {
    r.depthMeters = static_cast<float>(metres);
    r.depthFeet = static_cast<float>(feet);
}

// Depth below the transducer; the offset to the waterline or keel is not added.
bool ApplyDpt(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.empty()) return false;
    if (s.Field(1).empty()) return true;
    double metres = 0.0;
    if (!ParseDecimal(s.Field(1), metres) || metres < 0.0) return false;
    SetDepth(state.record, metres, metres * kFeetPerMetre);
    return true;
}

bool ApplyDbt(const NmeaSentence& s, ReceiverState& state) {
    if (s.fields.size() < 4) return false;
    double feet = -1.0, metres = -1.0, fathoms = -1.0;
    if ((!s.Field(1).empty() && !ParseDecimal(s.Field(1), feet)) ||
        (!s.Field(3).empty() && !ParseDecimal(s.Field(3), metres)) ||
        (!s.Field(5).empty() && !ParseDecimal(s.Field(5), fathoms))) {
        return false;
    }
    if (feet < 0.0 && fathoms >= 0.0) feet = fathoms * kFeetPerFathom;
    if (metres < 0.0 && feet >= 0.0) metres = feet / kFeetPerMetre;
    if (metres < 0.0) return true; // no depth in it
    SetDepth(state.record, metres, feet >= 0.0 ? feet : metres * kFeetPerMetre);
    return true;
}

using SentenceHandler = bool (*)(const NmeaSentence&, ReceiverState&);

struct HandledType {
    const char* type;
    SentenceHandler apply;
};

constexpr HandledType kHandledTypes[] = {
    {"RMC", ApplyRmc}, {"GGA", ApplyGga}, {"GLL", ApplyGll}, {"GSA", ApplyGsa}, {"GSV", ApplyGsv},
    {"VTG", ApplyVtg}, {"ZDA", ApplyZda}, {"DPT", ApplyDpt}, {"DBT", ApplyDbt},
};

} // namespace

bool ApplyNmeaSentence(ReceiverState& state, std::string_view line) {
    NmeaSentence sentence;
    if (!ParseNmeaSentence(line, sentence)) return false;
    for (const HandledType& handled : kHandledTypes) {
        if (sentence.type != handled.type) continue;
        // Worked on a copy, so that a field found bad half way changes nothing.
        ReceiverState candidate = state;
        if (!handled.apply(sentence, candidate)) return false;
        state = candidate;
        return true;
    }
    return false;
}
