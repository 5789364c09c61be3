// GL state as a table: one row per piece of state, with the query that reads
// it, how its value reads in a reason and whether a plug-in may leave it at
// the context's initial value instead of the host's. The table reads all its
// rows in one pass into a flat list of values, a snapshot, and names the rows
// in which two snapshots differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace validator {

// How a row is read (At: indexed by the row's index).
enum class StateQuery : uint8_t {
    Enabled,
    EnabledAt,
    Integer,
    IntegerAt,
    Float,
    FloatAt,
    Boolean,
    BooleanAt,
    ActiveQuery,       // glGetQueryiv(pname, GL_CURRENT_QUERY)
    CurrentAttribute,  // glGetVertexAttribfv(index, GL_CURRENT_VERTEX_ATTRIB)
    // Of the texture bound to GL_TEXTURE_2D on the active unit.
    TextureParameter,
    TextureParameterFloat,
    TextureLevel,  // of level index
    // Of the framebuffer bound to GL_DRAW_FRAMEBUFFER, attachment index;
    // only where the attachment's object type is a texture.
    Attachment,
    TextureAttachment,
    // Of the bound vertex array's attribute index.
    Attribute,
    AttributePointer,
};

// How a row's value reads: "enabled", "buffer 3 bound", GL_LESS, 0.5,
// GL_TRUE, 0xff, or an enum whose 0 is GL_NONE.
enum class StateShown : uint8_t { Switch, Name, Enum, Number, Boolean, Mask, Buffer };

struct StateRow {
    // "GL_DEPTH_TEST", "GL_BLEND of draw buffer 1"; for a Name the object: "vertex array".
    std::string label;
    // For a Name, what follows the name: " bound to GL_ARRAY_BUFFER on unit 3", " in use".
    std::string where;
    StateQuery query;
    StateShown shown;
    uint32_t pname;
    uint32_t index;
    int count;
    // Read with texture unit GL_TEXTURE0 + unit active; -1 for any unit.
    int unit;
    // The host's value only: the context's initial value is no neutral one
    // (viewports, framebuffer bindings, debug output).
    bool kept;
};

// Values of a table's rows in order, count per row.
using StateValues = std::vector<double>;

class StateTable {
public:
    StateTable() = default;
    // Reads each row once and keeps those the current context answers
    // without an error, so that reading the table never raises one.
    explicit StateTable(std::vector<StateRow> rows);

    // Of the current context; the active texture unit is left as it was.
    StateValues Read() const;
    // The same into values, whose storage a caller that reads every call keeps.
    void Read(StateValues& values) const;
    // One phrase per row whose value differs from before and, unless the row
    // is kept, from initial (null: no neutral value at all):
    // "left GL_DEPTH_TEST enabled (the host had it disabled)" with left, else
    // "GL_TEXTURE_MIN_FILTER GL_LINEAR (the host had GL_NEAREST)".
    std::vector<std::string> Changes(const StateValues& before, const StateValues& after, const StateValues* initial,
                                     bool left) const;
    size_t RowCount() const { return rows.size(); }

private:
    std::vector<StateRow> rows;
    std::vector<size_t> offsets;
    // For a row of index above 0, the row of index 0 of the same state (or
    // -1): a change that glBlendFunc or glColorMask made to every draw
    // buffer alike is named once, for index 0.
    std::vector<long> firstIndex;
    size_t valueCount = 0;
};

// "A, B and 2 more": at most three phrases of a list.
std::string JoinedChanges(const std::vector<std::string>& changes);

}  // namespace validator
