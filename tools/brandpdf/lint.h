// What the stub will make of a PDF, read from its bytes the way the stub reads
// them: whether it is accepted, the questions, and what would surprise the
// publisher. The libqpdf view (linkview.h) adds what only a PDF reader sees.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "branding/status.h"

namespace tool {

struct Question {
  std::string key;   // as the stub stores it
  std::string text;  // as the wizard shows it
  int links = 0;     // links the stub rewrites for it
};

struct Report {
  brand::Status verdict = brand::Status::Ok();  // the stub's refusal, if any
  std::string why;                              // the refusal in plain words
  std::vector<Question> questions;              // every distinct question, even beyond 100
  std::vector<std::string> warnings;
  // Links per matching key (pdfstr::MatchKey of the decoded key): those the
  // stub sees, and those written in a form it does not read ("/URI (", hex).
  std::map<std::string, int> seen, hiddenForms;
  bool hasObjectStreams = false;
};

// Counts in the order the names first came.
class Tally {
 public:
  void Add(const std::string& name, int n = 1);
  const std::vector<std::pair<std::string, int>>& items() const { return items_; }

 private:
  std::vector<std::pair<std::string, int>> items_;
};

// Reads the document as the stub does and fills everything but the libqpdf findings.
Report LintDocument(std::string_view doc);

// The question text for a decoded marked value's key, quoted for messages.
std::string Quoted(std::string_view text);

}  // namespace tool
