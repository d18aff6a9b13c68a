#include <gtest/gtest.h>

#include "framework/afx.h"
#include "framework/fileio.h"
#include "framework/headless/script.h"

TEST(CString, TrimsTheBytesNineToThirteenAndBlankOnly) {
  CString s("\t\n\v\f\r  a b \xA0 \r\n");
  s.Trim();
  EXPECT_EQ(s, "a b \xA0");  // a non-breaking space (0xA0) is not white space here
}

TEST(CString, ReplaceTakesEveryOccurrenceWithoutRescanningInsertedText) {
  CString s("XXXX-XXXXX");
  EXPECT_EQ(s.Replace("XXXX", "aXXXXb"), 2);
  EXPECT_EQ(s, "aXXXXb-aXXXXbX");
}

TEST(CString, FoldsByWindows1252) {
  CString s("ABC \xC0\xD7\xDE\x8A\x9F xyz");
  s.MakeLower();
  EXPECT_EQ(s, "abc \xE0\xD7\xFE\x9A\xFF xyz");  // the multiplication sign has no lower case
}

TEST(CString, FormatsOneArgument) {
  EXPECT_EQ(CString::FormatOne("Failed to write file %s", "C:\\a.pdf"), "Failed to write file C:\\a.pdf");
  EXPECT_EQ(CString::FormatOne("100%% of %s and %s", "x"), "100% of x and %s");
}

TEST(CString, KeepsZeroBytes) {
  CString s("a\0b", 3);
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s.Find('b'), 2);
}

TEST(Paths, DirectoryAndFileName) {
  EXPECT_EQ(DirectoryOf("D:\\Out\\Offer.pdf"), "D:\\Out\\");
  EXPECT_EQ(FileNameOf("D:\\Out\\Offer.pdf"), "Offer.pdf");
  EXPECT_EQ(DirectoryOf("Offer.pdf"), "");
  EXPECT_EQ(FileNameOf("Offer.pdf"), "Offer.pdf");
}

TEST(MessageBox, CaptionIsTheApplicationNameAndErrorsShowTheErrorIcon) {
  headless::ResetStage();
  ShowErrorMessage("Unable to read file: %s", "c:\\x\\Demo.exe");
  const auto& boxes = headless::GetStage().messageBoxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Doviro Vire Rozuzuv IVO");
  EXPECT_EQ(boxes[0].text, "Unable to read file: c:\\x\\Demo.exe");
  EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONERROR);
}

TEST(WriteReplacing, ATargetWhoseNameFillsTheLimitCanBeWritten) {
  // The temporary file has a short name of its own, so it fits wherever the target fits.
  std::string path = ::testing::TempDir() + std::string(250, 'n') + ".pdf";
  fileio::WriteReplacing(path.c_str(), "bytes", 5);
  EXPECT_EQ(fileio::ReadAll(path.c_str()), "bytes");
  fsx::RemoveFile(path.c_str());
}
