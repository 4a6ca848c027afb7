#include <gtest/gtest.h>

#include "platform/MessageQueue.h"

TEST(MessageQueue, TakesInOrderPosted) {
  MessageQueue queue;
  queue.Post({MessageKind::KeyDown, 1, 0});
  queue.PostQuit(3);
  Message m;
  ASSERT_TRUE(queue.Take(m));
  EXPECT_EQ(m.kind, MessageKind::KeyDown);
  ASSERT_TRUE(queue.Take(m));
  EXPECT_EQ(m.kind, MessageKind::Quit);
  EXPECT_EQ(m.a, 3);
  EXPECT_FALSE(queue.Take(m));
}
