// The catalog and template texts the foreign-key removal loads: the pairs of
// one key on the server (":objID_SQL"), the keys of a column (":fcolname1",
// ":fcolname2", ":ftablename1", ":ftablename2"), the keys of or to a table
// (":ftablename1", ":ftablename2"), and the pairs of one template key
// (":objID_ACC").
#pragma once

#include <string>
#include <vector>

namespace reconcile {

const std::vector<std::string>& ForeignKeysLines();
const std::vector<std::string>& FKeysForColumnLines();
const std::vector<std::string>& FKesyForTableLines();
const std::vector<std::string>& TemplateForeignKeysLines();

}  // namespace reconcile
