// obj_reader_test.cpp: the OBJ statements the reader understands, the lines
// it skips, and every malformed statement or index it must refuse.
#include "gfx/obj_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/temp_dir.h"

namespace vel {
namespace {

constexpr const char* kTriangle =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 0 1 0\n"
    "vt 0 0\n"
    "f 1/1 2/1 3/1\n";

Mesh parse(const std::string& text) {
  ParseResult<Mesh> result = parse_obj(text, "assets/m.obj");
  EXPECT_TRUE(result) << result.error;
  return result ? *result.value : Mesh{};
}

std::string refusal(const std::string& text) {
  const ParseResult<Mesh> result = parse_obj(text, "assets/bad.obj");
  EXPECT_FALSE(result) << text;
  return result.error;
}

void expect_corner(const Corner& c, uint64_t position, uint64_t texcoord, uint64_t normal) {
  EXPECT_EQ(c.position, position);
  EXPECT_EQ(c.texcoord, texcoord);
  EXPECT_EQ(c.normal, normal);
}

TEST(ObjRead, TriangleWithoutNormals) {
  const Mesh mesh = parse(kTriangle);
  EXPECT_EQ(mesh.path, "assets/m.obj");
  ASSERT_EQ(mesh.positions.size(), 3u);
  EXPECT_EQ(mesh.positions[1], (Vec3{1.0f, 0.0f, 0.0f}));
  ASSERT_EQ(mesh.texcoords.size(), 1u);
  EXPECT_TRUE(mesh.normals.empty());
  ASSERT_EQ(mesh.corners.size(), 3u);
  expect_corner(mesh.corners[0], 0, 0, 0);
  expect_corner(mesh.corners[1], 1, 0, 0);
  expect_corner(mesh.corners[2], 2, 0, 0);
  EXPECT_EQ(mesh.centre, (Vec3{1.0f / 3.0f, 1.0f / 3.0f, 0.0f}));
}

TEST(ObjRead, NormalIndexIsRequiredOnlyAfterTheFirstVnLine) {
  const std::string before = std::string("vn 0 0 1\n") + kTriangle;
  EXPECT_NE(refusal(before).find("assets/bad.obj:6: corner \"1/1\" has no normal index"),
            std::string::npos);

  const Mesh with_normals = parse("vn 0 0 1\nvn 0 1 0\nv 0 0 0\nvt 0 0\nf 1/1/2 1/1/1 +1/+1/+2\n");
  ASSERT_EQ(with_normals.corners.size(), 3u);
  expect_corner(with_normals.corners[0], 0, 0, 1);
  expect_corner(with_normals.corners[2], 0, 0, 1);

  // After the face, the earlier face keeps normal index 0 and needs no third part.
  const Mesh after = parse(std::string(kTriangle) + "vn 0 0 1\nf 3/1/1 2/1/1 1/1/1\n");
  ASSERT_EQ(after.corners.size(), 6u);
  expect_corner(after.corners[0], 0, 0, 0);
  expect_corner(after.corners[3], 2, 0, 0);
  ASSERT_EQ(after.normals.size(), 1u);
}

TEST(ObjRead, ThirdCornerPartIsIgnoredWhileTheFileHasNoNormals) {
  const Mesh mesh = parse("v 0 0 0\nvt 0 0\nf 1/1/x 1/1/ 1/1/9/9\n");
  ASSERT_EQ(mesh.corners.size(), 3u);
  expect_corner(mesh.corners[1], 0, 0, 0);
}

TEST(ObjRead, LargerPolygonKeepsItsFirstTriangle) {
  const Mesh mesh = parse(
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
      "f 1/1 2/2 3/3 4/4\n");
  ASSERT_EQ(mesh.corners.size(), 3u);
  expect_corner(mesh.corners[2], 2, 2, 0);
}

TEST(ObjRead, UnknownStatementsAndTabSeparatedLinesAreSkipped) {
  const std::string text = std::string(
                               "# a comment\n"
                               "mtllib city.mtl\n"
                               "o tower\n"
                               "g walls\n"
                               "s 1\n"
                               "usemtl facade\n"
                               "\n"
                               "v\t5\t5\t5\n"
                               "V 9 9 9\n") +
                           kTriangle;
  const Mesh mesh = parse(text);
  EXPECT_EQ(mesh.positions.size(), 3u);
  EXPECT_EQ(mesh.corners.size(), 3u);
  EXPECT_EQ(mesh.centre, (Vec3{1.0f / 3.0f, 1.0f / 3.0f, 0.0f}));
}

TEST(ObjRead, WhiteSpaceAtLineEndsAndExtraOperandsAreHarmless) {
  const Mesh mesh = parse(
      "  v 1 2 3 4\r\n"
      "\xC2\xA0vt 0.25 1.5 0\t\r\n"
      "vn 0 0 1 \r\n"
      "f 1/1/1 1/1/1 1/1/1 junk\r\n");
  ASSERT_EQ(mesh.positions.size(), 1u);
  EXPECT_EQ(mesh.positions[0], (Vec3{1.0f, 2.0f, 3.0f}));
  ASSERT_EQ(mesh.texcoords.size(), 1u);
  EXPECT_EQ(mesh.texcoords[0], (Vec2{0.25f, 1.5f}));  // v stored as written
  EXPECT_EQ(mesh.corners.size(), 3u);
}

TEST(ObjRead, FacesMayReferToVerticesListedFurtherDown) {
  const Mesh mesh = parse("f 1/1 2/1 3/1\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n");
  EXPECT_EQ(mesh.corners.size(), 3u);
}

TEST(ObjRead, WithoutVertexLinesTheCentreIsNotANumber) {
  for (const char* text : {"", "vt 0 0\n", "# nothing\n"}) {
    const Mesh mesh = parse(text);
    EXPECT_TRUE(std::isnan(mesh.centre.x) && std::isnan(mesh.centre.y) && std::isnan(mesh.centre.z))
        << text;
  }
}

TEST(ObjRead, CentreIsTheFloatSumInFileOrderOverTheCount) {
  const Mesh mesh = parse("v 0.1 1e8 0\nv 0.2 1 0\nv 0.3 -1e8 0\n");
  float x = 0.0f;
  float y = 0.0f;
  for (const float v : {0.1f, 0.2f, 0.3f}) x += v;
  for (const float v : {1e8f, 1.0f, -1e8f}) y += v;
  EXPECT_EQ(mesh.centre.x, x / 3.0f);
  EXPECT_EQ(mesh.centre.y, y / 3.0f);  // 0: the 1 is lost against 1e8
}

struct Malformed {
  const char* text;
  const char* message;  // expected substring after "assets/bad.obj:"
};

class ObjMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(ObjMalformed, IsRefusedNamingFileAndLine) {
  const std::string error = refusal(GetParam().text);
  EXPECT_EQ(error.rfind("assets/bad.obj:", 0), 0u) << error;
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ObjMalformed,
    ::testing::Values(
        Malformed{"v 1  2 3\n", ":1: \"\" is not a number"},  // two spaces: an empty token
        Malformed{"v 1 2 x\n", ":1: \"x\" is not a number"},
        Malformed{"v 1,5 2 3\n", "is not a number"},
        Malformed{"# ok\nv 1 2\n", ":2: \"v\" needs 3 numbers"},
        Malformed{"vt 1\n", ":1: \"vt\" needs 2 numbers"},
        Malformed{"vn 0 0\n", ":1: \"vn\" needs 3 numbers"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 1/1\n", ":3: \"f\" needs 3 corners"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1 1/1 1/1\n", "corner \"1\" has no \"/\""},
        Malformed{"v 0 0 0\nvt 0 0\nf 1//1 1/1 1/1\n", "empty texture index"},
        Malformed{"v 0 0 0\nvt 0 0\nf /1 1/1 1/1\n", "empty position index"},
        Malformed{"v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/ 1/1/1 1/1/1\n", ":4:"},
        Malformed{"v 0 0 0\nvt 0 0\nf 0/1 1/1 1/1\n", "position index 0"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 1/0 1/1\n", "texture index 0"},
        Malformed{"v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/0 1/1/1 1/1/1\n", "normal index 0"},
        Malformed{"v 0 0 0\nvt 0 0\nf -1/1 1/1 1/1\n", "negative (relative) position"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/-1 1/1 1/1\n", "negative (relative) texture"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 1/1 99999999999999999999999/1\n", "not an index"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 1/1 1/1x\n", "not an index"}));

INSTANTIATE_TEST_SUITE_P(
    IndicesBeyondTheFile, ObjMalformed,
    ::testing::Values(
        // The message names the face's own line, not the end of the file.
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 2/1 1/1\nv 1 1 1\nv 2 2 2\nf 9/1 1/1 1/1\n",
                  ":6: face refers to position 9, but the file has 3"},
        Malformed{"v 0 0 0\nvt 0 0\nf 1/1 1/2 1/1\n",
                  ":3: face refers to texture coordinate 2, but the file has 1"},
        Malformed{"v 0 0 0\nf 1/1 1/1 1/1\n", "texture coordinate 1, but the file has 0"},
        Malformed{"v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/2 1/1/1\n",
                  ":4: face refers to normal 2, but the file has 1"},
        Malformed{"v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/18446744073709551615 1/1/1 1/1/1\n",
                  "normal 18446744073709551615"}));

TEST(ObjRead, InvalidUtf8IsAReadError) {
  const std::string error = refusal("v 0 0 0\n# \xFF\xFE\n");
  EXPECT_EQ(error.rfind("File read error: assets/bad.obj", 0), 0u) << error;
}

TEST(ObjFile, DummyPathGivesAnEmptyMeshWithoutOpeningAFile) {
  for (const char* path : {"assets/dummy.obj", "no/such/dir/my_dummy_mesh"}) {
    const Mesh mesh = read_obj(path);
    EXPECT_TRUE(mesh.path.empty());
    EXPECT_TRUE(mesh.positions.empty() && mesh.texcoords.empty() && mesh.normals.empty() &&
                mesh.corners.empty());
    EXPECT_EQ(mesh.centre, (Vec3{0.0f, 0.0f, 0.0f}));
  }
}

TEST(ObjFile, ReadsAGoodFile) {
  const test::TempDir dir;
  const std::string path = dir.write("tri.obj", kTriangle);
  const Mesh mesh = read_obj(path);
  EXPECT_EQ(mesh.path, path);
  EXPECT_EQ(mesh.corners.size(), 3u);
}

TEST(ObjFile, MissingFileStopsWith101AndTheSystemError) {
  const test::TempDir dir;
  const std::string path = dir.file("missing.obj");
  EXPECT_EXIT(read_obj(path), ::testing::ExitedWithCode(101),
              "File read error: .*missing\\.obj: No such file or directory");
}

TEST(ObjFile, MalformedFileStopsWith101NamingFileAndLine) {
  const test::TempDir dir;
  const std::string path = dir.write("bad.obj", std::string(kTriangle) + "f 1/1 2/1 7/1\n");
  EXPECT_EXIT(read_obj(path), ::testing::ExitedWithCode(101),
              "bad\\.obj:6: face refers to position 7");
}

}  // namespace
}  // namespace vel
