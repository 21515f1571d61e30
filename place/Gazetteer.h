// The birthplace gazetteer: every municipality of Japan and every ward of the
// designated cities with its point, read from places.txt, and the search the
// birthplace box and torvela-cli type into. QtCore only (for NFKC).
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/TimeDifference.h"

namespace torvela::place {

inline constexpr const char* kGazetteerFileName = "places.txt";

struct Place {
  std::string code;        // local-government code, six digits with the check digit
  std::string prefecture;  // 北海道, 東京都, …
  std::string name;        // as shown: 札幌市中央区, 府中市
  std::string localName;   // the place's own part: 中央区 (the same as name for a municipality)
  std::string reading;     // hiragana, as shown: さっぽろしちゅうおうく
  std::string romaji;      // as in the file, parts separated by a space: sapporoshi chuuouku
  double longitude = 0;    // degrees east
  double latitude = 0;     // degrees north
};

// The time difference a chosen place writes into the minutes and seconds
// boxes: the map's rule at the place's longitude.
chart::TimeDifferenceTexts TimeDifferenceOf(const Place& place);

// "東京都府中市": the form that names one place to FindExact and Resolve.
std::string QualifiedName(const Place& place);

// A search that names one place, or the candidates shown instead.
struct Resolution {
  const Place* place = nullptr;          // the one place meant, or null
  std::vector<const Place*> candidates;  // without a place: up to 10 matches, best first
  bool moreCandidates = false;           // more matches than those listed
};

class Gazetteer {
 public:
  // An empty gazetteer: every search finds nothing.
  Gazetteer();
  ~Gazetteer();
  Gazetteer(Gazetteer&&) noexcept;
  Gazetteer& operator=(Gazetteer&&) noexcept;
  Gazetteer(const Gazetteer&) = delete;
  Gazetteer& operator=(const Gazetteer&) = delete;

  // Reads a gazetteer file. Throws DataFileError naming the file, the line
  // (as the record) and the field; nothing is kept from a bad file.
  static Gazetteer Load(const std::filesystem::path& file);
  // The same over text already in memory; errors name fileName.
  static Gazetteer Parse(std::string_view text, const std::string& fileName = kGazetteerFileName);

  bool empty() const;
  // Every place, in local-government code order.
  const std::vector<Place>& places() const;

  // Places matching what is typed, best first, at most limit. Each word must
  // match: the name by prefix or substring (also the ward's own name, 中央区 in
  // 札幌市中央区), the reading by prefix (hiragana or katakana), the rōmaji by
  // prefix with or without long-vowel marks (ōsaka, osaka, oosaka). Full- and
  // half-width forms are alike (NFKC). A prefecture as the first or last of
  // several words, or written before the name ("東京都府中市"), keeps the places
  // of that prefecture. Ranked: exact name, name prefix, reading or rōmaji
  // prefix, the rest; ties by code.
  std::vector<const Place*> Search(std::string_view query, std::size_t limit) const;

  // Places whose name, or prefecture and name, is exactly query (after the same
  // folding as Search), or whose code is query (five digits or six); in code
  // order. Several when a name is shared (府中市).
  std::vector<const Place*> FindExact(std::string_view query) const;

  // The place a command line means: the one exact match, else the one search
  // match; otherwise the candidates (none when nothing matches).
  Resolution Resolve(std::string_view query) const;

 private:
  struct Data;  // the places and their search keys, folded once at load
  std::unique_ptr<const Data> data_;
};

// A Japanese message for a Resolution without a place: nothing found, or the
// candidates, one QualifiedName a line.
std::string ResolutionMessage(std::string_view query, const Resolution& resolution);

}  // namespace torvela::place
