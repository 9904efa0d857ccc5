#pragma once

#include <string>

namespace lumarine {

// The rows of the channel manager page.

// The head row, as the page shows it above the channels.
std::string ManagerHeadRow();

// The row of the n-th catalogue channel (n from 1). The name is HTML-escaped where it is
// shown; where it travels to the program (the onModify call and the editor link) it is
// percent-encoded, which leaves only characters that need no escaping in a script string or
// an attribute and lets any name, "%" and "@" included, arrive intact after one decoding.
// A subscribed channel whose feeds all failed at their last download in this run carries a
// mark after its name, with the reason in its tool tip.
std::string FormatManagerChannelRow(int n, const std::string& name, bool subscribed,
                                    bool allFeedsFailed = false);

}  // namespace lumarine
