#include <gtest/gtest.h>

#include "gfx/DisplayList.h"
#include "tests/support/HeadlessGl.h"

namespace {

TEST(DisplayList, RecordsOnceRunsOftenAndIsDeletedWithItsOwner) {
  HeadlessGl& gl = HeadlessGl::Shared();
  ASSERT_TRUE(gl.Ok());
  GLuint name = 0;
  {
    DisplayList list;
    EXPECT_FALSE(list.Call());  // nothing recorded yet: draws nothing

    int issued = 0;
    ASSERT_TRUE(list.Compile([&] {
      ++issued;
      glTranslatef(1.0f, 2.0f, 3.0f);
    }));
    name = list.Name();
    EXPECT_TRUE(glIsList(name));
    EXPECT_EQ(issued, 1);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    EXPECT_TRUE(list.Call());
    EXPECT_TRUE(list.Call());
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
    EXPECT_EQ(issued, 1);  // the calls replay the recording, not the code
    EXPECT_FLOAT_EQ(matrix[12], 2.0f);
    EXPECT_FLOAT_EQ(matrix[14], 6.0f);

    ASSERT_TRUE(list.Compile([] {}));  // a new recording replaces the old
    name = list.Name();
    EXPECT_TRUE(glIsList(name));
  }
  EXPECT_FALSE(glIsList(name));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
