#include "platform/profile_files.h"

namespace tarn::platform {

ProfileBuffer ReadWholeList(const std::function<ProfileBuffer(uint32_t)>& read,
                            uint32_t initialCapacity, uint32_t limit) {
  uint32_t capacity = initialCapacity;
  ProfileBuffer list = read(capacity);
  while (list.returned == capacity - 2 && capacity < limit) {
    capacity *= 2;
    list = read(capacity);
  }
  return list;
}

std::vector<TextView> SplitZeroList(TextView list) {
  std::vector<TextView> items;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(u'\0', start);
    if (end == TextView::npos) end = list.size();
    items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace tarn::platform
