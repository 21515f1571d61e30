// Torvela calculation module: time scales, the sun's position, nutation,
// sexagenary and calendar arithmetic, the equation of time, and the tables
// loaded at start-up. No Qt; no global state (the application owns one
// Module2, tests make their own).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace torvela {

// Degrees to radians as the solar theory states it (15 significant digits).
inline constexpr double DegToRad = 0.017453292519943;
// Pi as the equation of time states it.
inline constexpr double EotPi = 3.14159265358979;

inline constexpr int PlanetTermCount = 120;   // records in planet.txt
inline constexpr int LatitudeTermCount = 34;  // records in latitude.txt

// ---------------------------------------------------------------------------
// Time scales (days from noon, universal time)

// Julian day of a Gregorian calendar date. year, month: whole numbers;
// day: day of month plus fraction, may lie outside 1..31 (linear in day).
double JulianDay(double year, double month, double day);

// Julian centuries of 36525 days from JD 2415020.0 (1900 January 0.5).
double JulianCenturies(double jd);

// Angle reduced to [0, 360) degrees: 360 (x/360 - Int(x/360)); a result that
// rounds up to 360 (x a hair below a multiple of 360) is returned as 0.
double Reduce(double x);

// ---------------------------------------------------------------------------
// Nutation

// Nutation in longitude, degrees. l, lp, F, D, Om: the fundamental lunisolar
// arguments in degrees, not reduced; T: Julian centuries (JulianCenturies).
double NutationInLongitude(double l, double lp, double F, double D, double Om, double T);

// Longitude (degrees) of the sectional (half = 0) or principal (half = 1)
// solar term of calendar month 1..12; 0 <= result < 360.
double SolarTermLongitude(int month, int half);

// ---------------------------------------------------------------------------
// Sexagenary and calendar arithmetic. Indices: 1 = 甲子 .. 60 = 癸亥;
// weekdays 1 = 日 .. 7 = 土. Day number = JD at 0 h less 0.5.

int DayPillarIndex(std::int64_t dayNumber);
int YearPillarIndex(std::int64_t pillarYear);
int MonthPillarIndex(std::int64_t pillarYear, int solarMonth);
int WeekdayIndex(std::int64_t dayNumber);
int StemOf(int sexagenaryIndex);    // 1..10
int BranchOf(int sexagenaryIndex);  // 1..12

// Days in each month of a Gregorian year, index 1..12 (index 0 unused, 0).
std::array<int, 13> MonthLengths(std::int64_t year);

// ---------------------------------------------------------------------------
// Equation of time (angles in degrees, T in Julian centuries)

double EotObliquity(double T);         // obliquity of the ecliptic, not reduced
double EotMeanLongitude(double T);     // sun's mean longitude, [0, 360)
double EotPerigeeLongitude(double T);  // longitude of the perigee, [0, 360)
double EotEccentricity(double T);      // eccentricity of the earth's orbit
// Equation of time in radians from obliquity, mean longitude, mean anomaly
// (degrees) and eccentricity.
double EotSeries(double eps, double L, double M, double e);

struct EquationOfTime {
  double EotMinutes = 0;          // minutes of time; positive: true solar time ahead
  std::string EotMinutesText;     // sign and whole minutes, "+16", "-0"
  std::string EotSecondsText;     // remaining seconds, "#0.0", "28.0"
};

// Equation of time for a date with the time of day as a fraction of day.
EquationOfTime ComputeEquationOfTime(double year, double month, double day);

// The texts of an equation of time given in minutes: the seconds are rounded
// on their own and never carried into the minutes (3.9995 -> "+3", "60.0").
EquationOfTime EquationOfTimeFromMinutes(double minutes);

// ---------------------------------------------------------------------------
// Data files

// A data file that cannot be used. what() is a Japanese message for the user
// that names the file and, where it applies, the record and the field.
class DataFileError : public std::runtime_error {
 public:
  DataFileError(std::string file, int record, int field, const std::string& message);
  const std::string& file() const { return file_; }
  int record() const { return record_; }  // 1-based; 0 when not about a record
  int field() const { return field_; }    // 1-based; 0 when not about a field
 private:
  std::string file_;
  int record_;
  int field_;
};

// The directory that holds the data files for an executable in exeDir:
// exeDir itself when planet.txt is there, else the installed data directory
// (exeDir/../share/torvela with the usual install directories; the build
// derives the relative path from the configured ones); exeDir when neither
// has it.
std::filesystem::path DataDirectory(const std::filesystem::path& exeDir);

// ---------------------------------------------------------------------------

// The tables loaded at start-up: the name tables and the two data files.
// Filled once and never written afterwards, so any number of threads may
// read one instance.
struct Tables {
  // Index 0 of stems and branches is "□"; WeekdayNames[0] is unused.
  std::array<std::string, 11> StemNames{};
  std::array<std::string, 13> BranchNames{};
  std::array<std::string, 8> WeekdayNames{};

  // Data-file tables, record index 1..N (row 0 unused).
  // planet.txt: keys (p, j, k), values (A_L ", phi_L deg, A_R 1e-9, phi_R deg).
  std::array<std::array<std::int16_t, 3>, PlanetTermCount + 1> PlanetTermKeys{};
  std::array<std::array<double, 4>, PlanetTermCount + 1> PlanetTermValues{};
  // latitude.txt: keys (p, j, k), values (A ", phi deg).
  std::array<std::array<std::int16_t, 3>, LatitudeTermCount + 1> LatitudeTermKeys{};
  std::array<std::array<double, 2>, LatitudeTermCount + 1> LatitudeTermValues{};
};

// The name tables filled, the data-file tables empty.
Tables NameTables();

// The name tables and planet.txt and latitude.txt read from directory.
// Throws DataFileError.
Tables LoadTables(const std::filesystem::path& directory);
// The same from the two files' contents already in memory; errors name the
// files as if read from disk.
Tables LoadTablesFromText(std::string_view planetText, std::string_view latitudeText);

// ---------------------------------------------------------------------------
// Sun's position

// One evaluation of the sun's position: the results and every intermediate.
struct SunState {
  double SunLongitude = 0;   // degrees, [0, 360)
  double SunDistance = 0;    // astronomical units
  double SunJD = 0;
  std::array<double, 5> LongitudeTerms{};  // 0..4, degrees
  std::array<double, 4> LogRadiusTerms{};  // 1..3 (1, 3 in 1e-8; 2 in 1e-9)
  std::array<double, 7> PlanetAnomaly{};   // 1..6, degrees
  double MeanAnomalyPoly = 0;              // degrees, not reduced
  double LongPeriodSum = 0;                // arcseconds
};

// Sun's longitude (true equinox of date, no aberration) and radius vector
// for a date in universal time (day with fraction), from the planetary terms
// of tables.
SunState SunPosition(const Tables& tables, double year, double month, double day);

// The steps of SunPosition, in calling order; each reads and writes s.
void SunMeanLongitude(SunState& s, double T);
void SunMeanAnomaly(SunState& s, double T);
void EquationOfCentre(SunState& s, double T);
void PlanetPerturbation(SunState& s, const Tables& tables, double jd);
void MoonPerturbation(SunState& s, double T);
void LongPeriodLongitude(SunState& s, double T);

// ---------------------------------------------------------------------------

// What the application holds: the tables once loaded, and the birth as the
// inputs picked it with the month lengths they use.
class Module2 {
 public:
  // The loaded tables (the name tables only before LoadTables).
  const Tables& tables() const { return tables_; }

  // Reads the tables from directory. Throws DataFileError; on error the
  // tables are unchanged.
  void LoadTables(const std::filesystem::path& directory);

  // The birth as picked in the inputs; empty until picked, "?" stored as 0.
  std::optional<double> BirthYear, BirthMonth, BirthDay, BirthHour, BirthMinute;

  // Month lengths of the year last passed to SetMonthDays, index 1..12
  // (all 0 before the first call).
  std::array<int, 13> MonthDays{};

  // Rewrites MonthDays for a Gregorian year.
  void SetMonthDays(std::int64_t year);

 private:
  Tables tables_ = NameTables();
};

}  // namespace torvela
