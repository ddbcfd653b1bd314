#pragma once

#include <string>
#include <vector>

namespace zendrel {

struct Workspace;

// Everything in a workspace's files that a search would pass over, read in a way its author
// did not mean, or never use, each as one line for the user that starts with the file (and
// line) it is in: "domain.txt, line 4: ...". Nothing is looked up and nothing is written.
//
// - domain.txt: zone lines cut short (a ";" but fewer than four fields), options that are
//   ignored, addresses that cannot be fetched, method numbers that no method has, zones whose
//   names another line takes first;
// - method.txt: methods whose number is no number (a search stops at them);
// - param.txt: values that cannot be used, numbers outside the range of their field, word-list
//   paths that name no readable file.
std::vector<std::string> CheckWorkspace(const Workspace& ws);

} // namespace zendrel
