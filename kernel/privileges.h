#pragma once
// Enabling one privilege in the process's own access token. Each function
// returns what the adjust call itself reports: true even when the token does
// not hold the privilege (the call then succeeds without assigning it). The
// enabled privileges stay enabled for the rest of the process's life.

namespace KernelIf {

bool EnableDebugPrivilege();                 // "SeDebugPrivilege"
bool EnableIncreaseQuotaPrivilege();         // "SeIncreaseQuotaPrivilege"
bool EnableProfileSingleProcessPrivilege();  // "SeProfileSingleProcessPrivilege"

}  // namespace KernelIf
