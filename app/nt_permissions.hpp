#pragma once
// The NT permission step: the group Everyone gets full control of the product key and of the
// machine's Run key (its existing entries widened, none added), and read, write and execute
// on the product's files when drive C: keeps access lists. An administrator may leave the Run
// key and the two auto-started programs alone; the data files and the product key are widened
// in any case, since every user of the product writes them. Everyone is found by its SID, so
// a Windows that names the group otherwise works too; an object open to all (a null access
// list) is left alone, since adding one entry would narrow it.
#include <string>
#include <vector>

#include "app/nt_form_unit.hpp"
#include "app/nt_widening.hpp"

namespace app {

// What the step did to one object: its access list before and after (SDDL), or why it left
// the object unchanged.
struct PermissionChange {
  std::string object;
  std::string before;
  std::string after;
  std::string unchangedBecause;  // empty when changed

  std::string Text() const;
};

// Before anything changes: Everyone resolves, and the keys the step will change can be opened
// to change their access lists (the product key, or on a new installation the key it will be
// made under; the Run key when it exists and is to be widened). Raises platform::Exception
// naming the key and the error.
void CheckNtPermissionsPossible(const NtWidening& widening);

std::vector<PermissionChange> SetNtPermissions(TNTStuffForm& form, const std::string& systemDir,
                                               const NtWidening& widening);

}  // namespace app
