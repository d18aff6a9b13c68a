#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "branding/items.h"

namespace {

using Keys = std::vector<std::string>;

Keys Scan(const std::string& doc, std::string* message = nullptr) {
  Keys keys;
  brand::Status status = brand::ScanBrandableItems(doc, keys);
  if (message) *message = status.message();
  return keys;
}

}  // namespace

TEST(EnclosingLink, UriMustBeginFiveToNinetyNineBytesBeforeTheMarker) {
  struct Case {
    std::string doc;
    bool brandable;
  } cases[] = {
      {"xx /URI(xxlink=a)", true},
      {"xx /uri(" + std::string(94, 'p') + "xxlink=a)", true},    // "/uri(" 99 bytes before
      {"xx /uri(" + std::string(95, 'p') + "xxlink=a)", false},   // 100 bytes before
      {"/uri(xxlink=a)", false},                                  // at the first byte: the walk's lower end
      {"x/uri(xxlink=a)", true},
      {"/URI(q)xxlink=a)", false},                                // a ")" between
      {"/URI (xxlink=a)", false},                                 // a blank between name and string
      {"/URI(x) /uRi(lead in xxlink=a)", true},                   // the nearest "/uri(" counts
  };
  for (const Case& c : cases) {
    std::string message;
    Keys keys = Scan(c.doc, &message);
    EXPECT_EQ(!keys.empty(), c.brandable) << c.doc;
    if (!c.brandable) {
      EXPECT_EQ(message, brand::kNotBrandable);
    }
  }
}

TEST(Scan, KeysFollowTheLinkFormat) {
  struct Case {
    std::string doc;
    Keys keys;
  } cases[] = {
      // Case of A-Z only folds; the first link's spelling is kept.
      {"a/URI(XXLINK=Member_ID~x^y) a/URI(xxlink=member_id) a/URI(xxLink=MEMBER_ID^z)", {"XXLINK=Member_ID"}},
      {"a/URI(xxlink=\xC9t\xE9) a/URI(xxlink=\xE9t\xE9)", {"xxlink=\xC9t\xE9", "xxlink=\xE9t\xE9"}},
      // A blank before "~" makes another key; a key that is the beginning of another is another key.
      {"a/URI(xxlink=ID~t) a/URI(xxlink=ID ~t) a/URI(xxlink=IDs)", {"xxlink=ID", "xxlink=ID ", "xxlink=IDs"}},
      // Both marker spellings; "^" before "~".
      {"a/URI(xxlink =Q^d~t)", {"xxlink =Q"}},
      // Two markers in one string: the first key holds the second marker.
      {"a/URI(xxlink=A xxlink=B~t)", {"xxlink=A xxlink=B", "xxlink=B"}},
      // No ")" to the end of the document: the key runs to the end.
      {"a/URI(xxlink=open end", {"xxlink=open end"}},
      // Zero bytes read as blanks, also inside the marker.
      {std::string("a/URI(xxlink\0=a\0b)", 18), {"xxlink =a b"}},
      // An empty question still makes an item.
      {"a/URI(xxlink=~t)", {"xxlink="}},
      // An escaped ")" ends the string.
      {"a/URI(xxlink=a\\)b)", {"xxlink=a\\"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Scan(c.doc), c.keys) << c.doc;
}

TEST(Scan, HundredItemsPassTheHundredAndFirstFails) {
  std::string doc;
  for (int i = 0; i < 100; ++i) doc += " /URI(xxlink=q" + std::to_string(i) + ")";
  EXPECT_EQ(Scan(doc + " /URI(xxlink=Q7)").size(), 100u);  // a duplicate after the 100th is skipped
  std::string message;
  EXPECT_TRUE(Scan(doc + " /URI(xxlink=q100)", &message).empty());
  EXPECT_EQ(message, brand::kTooManyItems);
}

TEST(Scan, HostileMarkerFloods) {
  // Each marker's key runs to the end of the document: all distinct, so too many.
  std::string open;
  for (int i = 0; i < 20000; ++i) open += "/URI(xxlink=";
  std::string message;
  EXPECT_TRUE(Scan(open, &message).empty());
  EXPECT_EQ(message, brand::kTooManyItems);
  // 100 000 markers outside any link string are skipped.
  std::string outside = "x/URI(xxlink=a)";
  for (int i = 0; i < 100000; ++i) outside += " xxlink=a";
  EXPECT_EQ(Scan(outside), Keys{"xxlink=a"});
  EXPECT_EQ(Scan("x/URI(xxlink="), Keys{"xxlink="});  // a marker as the last bytes
}

TEST(QuestionText, FromKey) {
  struct Case {
    const char* key;
    const char* text;
  } cases[] = {
      {"XXLINK=Your_member_ID", "Your member ID"}, {"xxlink =Your_member_ID", "Your member ID"},
      {"xxlink = Your_member_ID", "Your member ID"}, {"xxlink==ID", "ID"},
      {"xxlink===ID", "=ID"}, {"xxlink=", ""},
      {"xxlink=_ID_", " ID "}, {"xxlink=%20a\\(b", "%20a\\(b"},
  };
  for (const Case& c : cases) EXPECT_EQ(brand::QuestionText(c.key), c.text) << c.key;
}
