#pragma once

namespace lumarine {

// Command ids that pages send through app:<id>@<argument> links.
enum AppCommand : unsigned {
  kAppEndDialog = 1000,          // end the page's dialog with result 1
  kAppNarrowAndHeighten = 1001,  // argument "<c><dx>@<dy>"
  kAppWidenAndShorten = 1002,    // argument "<c><dx>@<dy>"
  kAppEditChannel = 1005,        // argument: channel name
  kAppSubscribe = 1006,          // argument: channel name
  kAppUnsubscribe = 1007,        // argument: channel name
  kAppNewChannel = 1008,         // argument ignored
  kAppShowReadNews = 1009,       // news list: add the shown channel's rows already read
};

}  // namespace lumarine
