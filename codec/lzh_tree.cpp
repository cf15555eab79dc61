#include "codec/lzh_tree.h"

namespace tovin::lzh {

void AdaptiveTree::Start() {
  for (int i = 0; i < kSymbols; ++i) {
    freq[i] = 1;
    son[i] = static_cast<uint16_t>(i + kNodes);
    parent[i + kNodes] = static_cast<uint16_t>(i);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
    son[j] = static_cast<uint16_t>(i);
    parent[i] = parent[i + 1] = static_cast<uint16_t>(j);
  }
  freq[kNodes] = 0xFFFF;
  parent[kRoot] = 0;
}

void AdaptiveTree::Rebuild() {
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (son[i] >= kNodes) {
      freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
      son[j] = son[i];
      ++j;
    }
  }
  for (int i = 0, k = kSymbols; k < kNodes; i += 2, ++k) {
    uint16_t f = static_cast<uint16_t>(freq[i] + freq[i + 1]);
    int at = k - 1;
    while (f < freq[at]) --at;
    ++at;
    std::memmove(&freq[at + 1], &freq[at], sizeof(uint16_t) * static_cast<size_t>(k - at));
    freq[at] = f;
    std::memmove(&son[at + 1], &son[at], sizeof(uint16_t) * static_cast<size_t>(k - at));
    son[at] = static_cast<uint16_t>(i);
  }
  for (int i = 0; i < kNodes; ++i) {
    int k = son[i];
    if (k >= kNodes) parent[k] = static_cast<uint16_t>(i);
    else parent[k] = parent[k + 1] = static_cast<uint16_t>(i);
  }
}

void AdaptiveTree::Update(int symbol) {
  if (freq[kRoot] == kMaxFrequency) Rebuild();
  int c = parent[symbol + kNodes];
  do {
    uint16_t k = ++freq[c];
    int l = c + 1;
    if (k > freq[l]) {
      while (k > freq[++l]) {
      }
      --l;
      freq[c] = freq[l];
      freq[l] = k;
      int i = son[c];
      parent[i] = static_cast<uint16_t>(l);
      if (i < kNodes) parent[i + 1] = static_cast<uint16_t>(l);
      int j = son[l];
      son[l] = static_cast<uint16_t>(i);
      parent[j] = static_cast<uint16_t>(c);
      if (j < kNodes) parent[j + 1] = static_cast<uint16_t>(c);
      son[c] = static_cast<uint16_t>(j);
      c = l;
    }
  } while ((c = parent[c]) != 0);
}

}  // namespace tovin::lzh
