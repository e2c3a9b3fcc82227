#pragma once
// Starting at logon: the agent's entry under the user's Run key.

namespace corners {

// Adds "\"<this program>\" /start"; false, with a trace, on failure.
bool InstallRunEntry();
// Removes it; true also when there was none.
bool UninstallRunEntry();

}  // namespace corners
