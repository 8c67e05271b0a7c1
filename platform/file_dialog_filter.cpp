#include "platform/file_dialog_filter.h"

namespace nuv {

Text SystemFileFilter(TextView filter) {
  if (filter.empty()) return Text();
  Text out(filter);
  for (char16_t& c : out) {
    if (c == u'|') c = u'\0';
  }
  // The last pair must be closed and the list ended: two nulls at the end.
  while (out.size() < 2 || out[out.size() - 1] != u'\0' || out[out.size() - 2] != u'\0') {
    out.push_back(u'\0');
  }
  return out;
}

}  // namespace nuv
