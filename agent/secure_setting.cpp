#include "secure_setting.h"

namespace corners {

bool SwitchOn(const StoredSwitch& value) {
  if (!value.present) return false;
  if (value.isNumber) return value.number != 0;
  if (!value.text) return false;
  size_t i = 0;
  while (i < value.size && (value.text[i] == ' ' || value.text[i] == '\t')) ++i;
  if (i < value.size && (value.text[i] == '+' || value.text[i] == '-')) ++i;
  bool nonzero = false;
  for (; i < value.size && value.text[i] >= '0' && value.text[i] <= '9'; ++i) {
    nonzero = nonzero || value.text[i] != '0';
  }
  return nonzero;
}

bool SecureSettingOn(const StoredSwitch& policy, const StoredSwitch& user) {
  return policy.present ? SwitchOn(policy) : SwitchOn(user);
}

}  // namespace corners
