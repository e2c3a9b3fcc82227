#include "settings/saver_policy.h"

namespace morvane {

namespace {

bool Present(const StoredValue& value) {
  return value.kind != StoredKind::Missing;
}

const StoredValue& Deciding(const StoredPair& pair) {
  return Present(pair.policy) ? pair.policy : pair.user;
}

bool TextSwitchOn(const char* text, size_t size) {
  size_t i = 0;
  while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
  bool nonzero = false;
  for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i) nonzero = nonzero || text[i] != '0';
  return nonzero;
}

}  // namespace

bool SwitchOn(const StoredValue& value) {
  switch (value.kind) {
    case StoredKind::Number: return value.number != 0;
    case StoredKind::Text:
    case StoredKind::ExpandText: return value.text && TextSwitchOn(value.text, value.size);
    default: return false;
  }
}

SaverPolicy DecideSaverPolicy(const SaverPolicyValues& values) {
  SaverPolicy policy = {};
  const StoredValue& active = Deciding(values.active);
  policy.saversActive = !Present(active) || SwitchOn(active);
  policy.secure = SwitchOn(Deciding(values.secure));
  policy.saverFromPolicy = Present(values.saver.policy);
  policy.saver = Deciding(values.saver);
  return policy;
}

}  // namespace morvane
