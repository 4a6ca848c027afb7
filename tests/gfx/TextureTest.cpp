#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/Texture.h"
#include "tests/support/HeadlessGl.h"
#include "tests/support/StderrCapture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// A small picture, addressed with y counted up from the bottom row.
struct Picture {
  int width;
  int height;
  Rgb At(int x, int y) const {
    return {static_cast<std::uint8_t>(40 * x + 10), static_cast<std::uint8_t>(60 * y + 5),
            static_cast<std::uint8_t>(230 - 30 * x - 50 * y)};
  }
};

void Put16(Bytes& out, std::size_t at, std::uint32_t v) {
  out[at] = v & 0xFF;
  out[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
}

// A BMP with a 40-byte info header; the caller gives the pixel bytes (and
// palette) exactly as they are to be stored.
Bytes MakeBmp(std::int32_t width, std::int32_t height, int bitsPerPixel, const Bytes& palette, const Bytes& pixels) {
  const std::size_t offset = 54 + palette.size();
  Bytes out(offset, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<std::uint32_t>(offset + pixels.size()));
  Put32(out, 10, static_cast<std::uint32_t>(offset));
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<std::uint32_t>(width));
  Put32(out, 22, static_cast<std::uint32_t>(height));
  Put16(out, 26, 1);
  Put16(out, 28, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, 34, static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 46, static_cast<std::uint32_t>(palette.size() / 4));
  std::copy(palette.begin(), palette.end(), out.begin() + 54);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

enum class Encoding { Bgr24BottomUp, Bgr24TopDown, Bgrx32, Indexed8 };

Bytes Encode(const Picture& picture, Encoding encoding) {
  Bytes palette;
  Bytes pixels;
  const int bits = encoding == Encoding::Bgrx32 ? 32 : encoding == Encoding::Indexed8 ? 8 : 24;
  const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * bits / 8 + 3) & ~std::size_t{3};
  if (encoding == Encoding::Indexed8) {
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const Rgb c = picture.At(x, y);
        palette.insert(palette.end(), {c.b, c.g, c.r, 0});
      }
    }
  }
  for (int stored = 0; stored < picture.height; ++stored) {
    const int y = encoding == Encoding::Bgr24TopDown ? picture.height - 1 - stored : stored;
    Bytes row;
    for (int x = 0; x < picture.width; ++x) {
      const Rgb c = picture.At(x, y);
      if (encoding == Encoding::Indexed8) {
        row.push_back(static_cast<std::uint8_t>(y * picture.width + x));
      } else {
        row.insert(row.end(), {c.b, c.g, c.r});
        if (bits == 32) row.push_back(0xFF);
      }
    }
    row.resize(rowBytes, 0xEE);  // fill bytes that must never show up
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  const std::int32_t height = encoding == Encoding::Bgr24TopDown ? -picture.height : picture.height;
  return MakeBmp(picture.width, height, bits, palette, pixels);
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/cp_texture_XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string file = m_path + "/" + name;
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::string m_path;
};

// Level 0 of the bound texture as RGB texels, bottom row (t = 0) first.
std::vector<Rgb> ReadBoundTexture(int& width, int& height) {
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<Rgb> texels(static_cast<std::size_t>(width) * height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

GLint Bound() {
  GLint name = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
  return name;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HeadlessGl::Shared().Ok());
    HeadlessGl::Shared().ResetScene();
  }
  TempDir dir;
};

TEST_F(TextureTest, StoredBlueGreenRedBytesGiveABlueTexel) {
  // One pixel stored as FF 00 00 (blue, green, red) and a row fill of one byte.
  const std::string file = dir.Write("blue.bmp", MakeBmp(1, 1, 24, {}, {0xFF, 0x00, 0x00, 0x00}));
  Texture texture;
  ASSERT_TRUE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  ASSERT_NE(texture.Name(), 0u);
  EXPECT_EQ(Bound(), static_cast<GLint>(texture.Name()));  // the new texture stays bound
  int width = 0;
  int height = 0;
  const std::vector<Rgb> texels = ReadBoundTexture(width, height);
  ASSERT_EQ(texels.size(), 1u);
  EXPECT_EQ(texels[0], (Rgb{0x00, 0x00, 0xFF}));

  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
  EXPECT_EQ(value, GL_RGB8);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR_MIPMAP_NEAREST);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  EXPECT_EQ(value, 4);
}

TEST_F(TextureTest, ClampToEdgeSetsBothWrapModes) {
  const std::string file = dir.Write("clamp.bmp", Encode({4, 4}, Encoding::Bgr24BottomUp));
  Texture texture;
  ASSERT_TRUE(texture.Load(file.c_str(), GL_NEAREST, GL_NEAREST, true));
  GLint s = 0;
  GLint t = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &t);
  EXPECT_EQ(s, GL_CLAMP_TO_EDGE);
  EXPECT_EQ(t, GL_CLAMP_TO_EDGE);
}

// Every texel matches the picture, the bottom row landing on t = 0, however
// the file stores it; width 3 leaves 3 fill bytes on each 24-bit row.
TEST_F(TextureTest, EveryRowMatchesThePictureWhateverTheEncoding) {
  struct Case {
    const char* name;
    Picture picture;
    Encoding encoding;
  };
  const Case cases[] = {
      {"bottom-up 24-bit, width 3", {3, 3}, Encoding::Bgr24BottomUp},
      {"bottom-up 24-bit, width 4", {4, 2}, Encoding::Bgr24BottomUp},
      {"top-down 24-bit", {3, 3}, Encoding::Bgr24TopDown},
      {"32-bit", {3, 2}, Encoding::Bgrx32},
      {"palettised 8-bit", {3, 3}, Encoding::Indexed8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.Write("picture.bmp", Encode(c.picture, c.encoding));
    Texture texture;
    ASSERT_TRUE(texture.Load(file.c_str(), GL_NEAREST, GL_NEAREST, false));
    int width = 0;
    int height = 0;
    const std::vector<Rgb> texels = ReadBoundTexture(width, height);
    ASSERT_EQ(width, c.picture.width);
    ASSERT_EQ(height, c.picture.height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        EXPECT_EQ(texels[static_cast<std::size_t>(y) * width + x], c.picture.At(x, y)) << "x " << x << " y " << y;
      }
    }
  }
}

TEST_F(TextureTest, ReloadKeepsOneNameAndDeletesTheFirst) {
  const std::string file = dir.Write("twice.bmp", Encode({4, 4}, Encoding::Bgr24BottomUp));
  Texture texture;
  ASSERT_TRUE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  const GLuint first = texture.Name();
  ASSERT_TRUE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  const GLuint second = texture.Name();
  EXPECT_EQ(glIsTexture(second), GL_TRUE);
  if (first != second) {
    EXPECT_EQ(glIsTexture(first), GL_FALSE);
  }

  texture.Release();
  EXPECT_EQ(texture.Name(), 0u);
  EXPECT_EQ(glIsTexture(second), GL_FALSE);
  texture.Release();  // nothing held: no effect
  EXPECT_EQ(texture.Name(), 0u);
}

TEST_F(TextureTest, MissingFileAfterGoodLoadLeavesNoTextureAndBindsZero) {
  const std::string file = dir.Write("good.bmp", Encode({4, 4}, Encoding::Bgr24BottomUp));
  Texture texture;
  StderrCapture goodLoad;
  ASSERT_TRUE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  EXPECT_EQ(goodLoad.Text(), "") << "a picture that loads is not mentioned";
  const GLuint first = texture.Name();
  const std::string missing = dir.Path() + "/missing.bmp";
  StderrCapture missingLoad;
  EXPECT_FALSE(texture.LoadMipmapped(missing.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  EXPECT_EQ(missingLoad.Text(), "christmas-pegs: cannot use " + missing + ": no such file\n");
  EXPECT_EQ(texture.Name(), 0u);
  EXPECT_EQ(glIsTexture(first), GL_FALSE);
  texture.Bind();
  EXPECT_EQ(Bound(), 0);
}

TEST_F(TextureTest, MalformedFilesAreRefusedPromptly) {
  const Bytes good = Encode({4, 4}, Encoding::Bgr24BottomUp);
  auto patched = [&](std::size_t at, std::int32_t value) {
    Bytes bytes = good;
    Put32(bytes, at, static_cast<std::uint32_t>(value));
    return bytes;
  };
  Bytes wrongMagic = good;
  wrongMagic[0] = 'X';
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"wrong magic", wrongMagic},
      {"truncated header", Bytes(good.begin(), good.begin() + 30)},
      {"truncated pixels", Bytes(good.begin(), good.end() - 20)},
      {"zero width", patched(18, 0)},
      {"negative width", patched(18, -4)},
      {"zero height", patched(22, 0)},
      {"60000 x 60000 in a tiny file", patched(22, 60000)},
      {"2000 x 2000 in a tiny file", [&] {
         Bytes bytes = patched(18, 2000);
         Put32(bytes, 22, 2000);
         return bytes;
       }()},
      {"pixel offset beyond the end", patched(10, 1 << 20)},
      {"unknown compression", patched(30, 9)},
      {"not a bitmap at all", Bytes(200, 'x')},
      // Passes the header check; SDL's decoder finds the runs cut short.
      {"run-length data that ends after one run", [] {
         Bytes bytes = MakeBmp(4, 4, 8, Bytes(8, 0x40), {4, 1});
         Put32(bytes, 30, 1);  // BI_RLE8
         return bytes;
       }()},
  };
  // Wider than GL can take, though the file really holds every pixel.
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  ASSERT_GT(maxSize, 0);
  const std::size_t wideRow = (static_cast<std::size_t>(maxSize + 1) * 3 + 3) & ~std::size_t{3};
  const Bytes tooWide = MakeBmp(maxSize + 1, 1, 24, {}, Bytes(wideRow, 0x80));

  // Each refused file is named once, whether the header check or SDL's
  // decoder refused it.
  const auto refused = [](const std::string& file) {
    return "christmas-pegs: cannot use " + file + ": not a BMP picture the game can use\n";
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.Write("bad.bmp", c.bytes);
    Texture texture;
    StderrCapture capture;
    EXPECT_FALSE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
    EXPECT_EQ(capture.Text(), refused(file));
    EXPECT_EQ(texture.Name(), 0u);
  }
  {
    SCOPED_TRACE("wider than GL_MAX_TEXTURE_SIZE");
    const std::string file = dir.Write("wide.bmp", tooWide);
    Texture texture;
    StderrCapture capture;
    EXPECT_FALSE(texture.LoadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
    EXPECT_EQ(capture.Text(), refused(file));
    EXPECT_EQ(texture.Name(), 0u);
  }

  const std::string pipe = dir.Path() + "/pipe.bmp";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {dir.Path(), pipe}) {
    SCOPED_TRACE(path);
    const auto before = std::chrono::steady_clock::now();
    Texture texture;
    StderrCapture capture;
    EXPECT_FALSE(texture.LoadMipmapped(path.c_str(), GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
    const std::string said = capture.Text();
    EXPECT_EQ(said.rfind("christmas-pegs: cannot use " + path + ": ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(texture.Name(), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  }
}

TEST(SwapRedBlue, SwapsPixelsAndLeavesRowFillAlone) {
  struct Case {
    int width;
    int height;
    Bytes before;
    Bytes after;
  };
  const Case cases[] = {
      // width 3: 9 pixel bytes and 3 fill bytes per row
      {3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 90, 91, 92, 11, 12, 13, 14, 15, 16, 17, 18, 19, 93, 94, 95},
       {3, 2, 1, 6, 5, 4, 9, 8, 7, 90, 91, 92, 13, 12, 11, 16, 15, 14, 19, 18, 17, 93, 94, 95}},
      // width 4: no fill; exactly width x height x 3 bytes change, the next stays
      {4, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99}, {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 99}},
      {0, 5, {1, 2, 3}, {1, 2, 3}},
      {5, 0, {1, 2, 3}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    Bytes bytes = c.before;
    SwapRedBlue(bytes.data(), c.width, c.height);
    EXPECT_EQ(bytes, c.after);
  }
}

}  // namespace
