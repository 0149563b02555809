#include "tools/gps_server/nmea_writer.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kKilometresPerNauticalMile = 1.852;
constexpr int kSatellitesPerGsv = 4;

// A whole number with at least `width` digits.
std::string Whole(int64_t value, int width = 1) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() < size_t(width)) digits.insert(0, size_t(width) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

// A number with exactly `decimals` decimals and at least `width` digits before the point.
std::string Fixed(double value, int decimals, int width = 1) {
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const int64_t scaled = std::llround(value * double(scale));
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
    std::string text = Whole(int64_t(magnitude / uint64_t(scale)), width);
    if (decimals > 0) text += "." + Whole(int64_t(magnitude % uint64_t(scale)), decimals);
    return negative ? "-" + text : text;
}

// Degrees as "ddmm.mmmm" (latitude, `degreeDigits` 2) or "dddmm.mmmm" (longitude, 3).
std::string DegreesMinutes(double degrees, int degreeDigits) {
    const int64_t tenThousandths = std::llround(std::fabs(degrees) * 60.0 * 10000.0);
    const int64_t whole = tenThousandths / (60 * 10000);
    const int64_t minutes = tenThousandths % (60 * 10000);
    return Whole(whole, degreeDigits) + Whole(minutes / 10000, 2) + "." + Whole(minutes % 10000, 4);
}

std::string TimeField(const SystemTime16& t) {
    return Whole(t.hour, 2) + Whole(t.minute, 2) + Whole(t.second, 2) + "." +
           Whole(t.milliseconds / 10, 2);
}

std::string DateField(const SystemTime16& t) {
    return Whole(t.day, 2) + Whole(t.month, 2) + Whole(t.year % 100, 2);
}

// Latitude and longitude fields; the record's longitude is positive to the west.
std::string PositionFields(const GpsSnapshot& r) {
    return DegreesMinutes(r.latitude, 2) + (r.latitude < 0 ? ",S," : ",N,") +
           DegreesMinutes(r.longitude, 3) + (r.longitude < 0 ? ",E" : ",W");
}

std::string Rmc(const GpsSnapshot& r) {
    const bool valid = r.fixValid != 0;
    std::string body = "GPRMC," + TimeField(r.utcTime) + (valid ? ",A," : ",V,");
    body += valid ? PositionFields(r) + "," + Fixed(r.speedKnots, 1) + "," + Fixed(r.course, 1)
                  : ",,,,,";
    return WithChecksum(body + "," + DateField(r.utcTime) + ",,," + (valid ? "A" : "N"));
}

std::string Gga(const GpsSnapshot& r) {
    const bool valid = r.fixValid != 0;
    std::string body = "GPGGA," + TimeField(r.utcTime) + ",";
    body += valid ? PositionFields(r) : ",,,";
    body += "," + Whole(valid ? 1 : 0) + "," + Whole(r.satsUsed, 2) + "," + Fixed(r.hdop, 1) + ",";
    body += valid ? Fixed(r.altitude, 1) + ",M," + Fixed(r.geoidSeparation, 1) + ",M,," : ",,,,,";
    return WithChecksum(body);
}

std::string Gsa(const GpsSnapshot& r) {
    std::string body = std::string("GPGSA,A,") + (r.fixValid != 0 ? "3" : "1");
    for (uint8_t prn : r.usedPrns)
        body += "," + (prn != 0 ? Whole(prn, 2) : std::string());
    return WithChecksum(body + "," + Fixed(r.pdop, 1) + "," + Fixed(r.hdop, 1) + "," +
                        Fixed(r.vdop, 1));
}

std::string Gsv(const GpsSnapshot& r) {
    int listed = 0;
    while (listed < kSatelliteSlots && r.satellites[listed].id != 0)
        ++listed;
    const int sentences = listed == 0 ? 1 : (listed + kSatellitesPerGsv - 1) / kSatellitesPerGsv;
    std::string text;
    for (int n = 0; n < sentences; ++n) {
        std::string body =
            "GPGSV," + Whole(sentences) + "," + Whole(n + 1) + "," + Whole(r.satsInView, 2);
        for (int i = n * kSatellitesPerGsv; i < listed && i < (n + 1) * kSatellitesPerGsv; ++i) {
            const SatelliteEntry& s = r.satellites[i];
            body += "," + Whole(s.id, 2) + "," + Whole(s.elevation, 2) + "," + Whole(s.azimuth, 3) +
                    "," + (s.snr != 0 ? Whole(s.snr, 2) : std::string());
        }
        text += WithChecksum(body);
    }
    return text;
}

std::string Vtg(const GpsSnapshot& r) {
    if (r.fixValid == 0) return WithChecksum("GPVTG,,T,,M,,N,,K,N");
    return WithChecksum("GPVTG," + Fixed(r.course, 1) + ",T,,M," + Fixed(r.speedKnots, 1) + ",N," +
                        Fixed(r.speedKnots * kKilometresPerNauticalMile, 1) + ",K,A");
}

std::string Dpt(const GpsSnapshot& r) {
    return WithChecksum("SDDPT," + Fixed(r.depthMeters, 1) + ",0.0,");
}

} // namespace

std::string WithChecksum(std::string_view body) {
    uint8_t sum = 0;
    for (char c : body)
        sum = static_cast<uint8_t>(sum ^ static_cast<uint8_t>(c));
    static const char kHex[] = "0123456789ABCDEF";
    std::string sentence = "$";
    sentence += body;
    sentence += '*';
    sentence += kHex[sum >> 4];
    sentence += kHex[sum & 15];
    return sentence + "\r\n";
}

std::string NmeaSentencesOf(const GpsSnapshot& record) {
    return Rmc(record) + Gga(record) + Gsa(record) + Gsv(record) + Vtg(record) + Dpt(record);
}
