#include "script/id_table/id_table.h"

#include <gtest/gtest.h>
#include <string>

namespace {

int recordA = 1;
int recordB = 2;

TEST(IdTable, IdsOutOfRangeFailWithTheirMessagesAndStoreNothing) {
  auto table = IdTable::create(1000);
  ASSERT_TRUE(table);
  struct Case {
    std::int32_t id;
    const char* message;
  } cases[] = {
      {1000, "invalid ID 1000 greater or equals than 1000"},
      {-1, "invalid negative ID -1"},
      {-2147483647 - 1, "invalid negative ID -2147483648"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(table->add(c.id, &recordA), -1);
    EXPECT_STREQ(idTableLastError(), c.message);
    EXPECT_EQ(table->remove(c.id), -1);
    EXPECT_STREQ(idTableLastError(), c.message);
    EXPECT_EQ(table->get(c.id), nullptr);
    EXPECT_STREQ(idTableLastError(), c.message);
  }
  EXPECT_EQ(table->highestId(), 0);
  EXPECT_EQ(table->add(999, &recordA), 0);
  EXPECT_EQ(table->getAs<int>(999), &recordA);
}

TEST(IdTable, ASecondAddKeepsTheFirstRecord) {
  auto table = IdTable::create(10);
  ASSERT_EQ(table->add(3, &recordA), 0);
  EXPECT_EQ(table->add(3, &recordB), -1);
  EXPECT_STREQ(idTableLastError(), "id 3 already exist");
  EXPECT_EQ(table->get(3), &recordA);
}

TEST(IdTable, RemovingFreesTheSlotButNeverLowersTheHighestId) {
  auto table = IdTable::create(10);
  ASSERT_EQ(table->add(7, &recordA), 0);
  ASSERT_EQ(table->add(2, &recordB), 0);
  EXPECT_EQ(table->highestId(), 7);
  EXPECT_EQ(table->remove(7), 0);
  EXPECT_EQ(table->get(7), nullptr);
  EXPECT_EQ(table->highestId(), 7);
  EXPECT_EQ(table->remove(7), -1);
  EXPECT_STREQ(idTableLastError(), "id 7 does not exist");
  // A freed number can be used again at once.
  EXPECT_EQ(table->add(7, &recordB), 0);
}

TEST(IdTable, GettingAFreeSlotKeepsThePreviousError) {
  auto table = IdTable::create(10);
  table->remove(4);
  ASSERT_STREQ(idTableLastError(), "id 4 does not exist");
  EXPECT_EQ(table->get(5), nullptr);
  EXPECT_STREQ(idTableLastError(), "id 4 does not exist");
}

TEST(IdTable, TablesShareOneErrorText) {
  auto images = IdTable::create(5);
  auto lights = IdTable::create(7);
  images->add(5, &recordA);
  lights->get(1);
  EXPECT_STREQ(idTableLastError(), "invalid ID 5 greater or equals than 5");
}

TEST(IdTable, CreationRefusesCapacitiesWithoutSlots) {
  EXPECT_FALSE(IdTable::create(0));
  EXPECT_FALSE(IdTable::create(-3));
}

}  // namespace
