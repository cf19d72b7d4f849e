#include "replay/mesh_dump.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace replay {

namespace {

void PutLittleEndian(std::vector<char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

bool WriteFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

bool DumpMesh(const render::BoardMesh& mesh, const std::string& prefix) {
    std::vector<char> vertices;
    vertices.reserve(mesh.vertices().size() * sizeof(render::TileVertex));
    for (const render::TileVertex& v : mesh.vertices()) {
        PutLittleEndian(vertices, std::bit_cast<uint32_t>(v.x), 4);
        PutLittleEndian(vertices, std::bit_cast<uint32_t>(v.y), 4);
        PutLittleEndian(vertices, std::bit_cast<uint32_t>(v.z), 4);
        PutLittleEndian(vertices, v.diffuse, 4);
    }
    std::vector<char> indices;
    indices.reserve(mesh.indices().size() * sizeof(uint16_t));
    for (uint16_t index : mesh.indices()) {
        PutLittleEndian(indices, index, 2);
    }
    return WriteFile(prefix + ".vertices", vertices) && WriteFile(prefix + ".indices", indices);
}

}  // namespace replay
