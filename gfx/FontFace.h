#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

// A scalable FreeType face, chosen through fontconfig as the best installed
// match for a family name, a Windows-style weight (100..900) and a slant.
class FontFace {
 public:
  // Where a face lives on disk: its file and its index inside that file.
  struct Location {
    std::string path;
    int index = 0;
  };

  // Asks fontconfig for the closest outline font; false when it offers none.
  static bool Locate(const char* family, int weight, bool italic, Location& location);

  FontFace() = default;
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  // Opens the face; false when the file is missing or holds no outlines.
  bool Open(const Location& location);
  bool IsOpen() const { return m_face != nullptr; }
  void Close() { m_face.reset(); }
  FT_Face Face() const { return m_face.get(); }

 private:
  struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
  };
  struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
  };

  // Declared first so that it is destroyed after the face it made.
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> m_library;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> m_face;
};
