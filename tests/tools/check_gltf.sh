#!/bin/sh
# Exports glTF files of the sample limb (Skinned and Layered, with and without normals and
# uv) and of new documents on every base shape, and has the glTF validator check each.
#   check_gltf.sh QUORL_CLI NODE TOOLS_DIR VALIDATE_JS
set -eu
cli="$1"; node="$2"; tools="$3"; script="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$cli" demo "$work/demo" > /dev/null
doc="$work/demo/limb.qrz"
"$cli" export "$doc" --format gltf -o "$work/skinned.glb" --quiet
"$cli" export "$doc" --format gltf -o "$work/skinned_uv.glb" --uv --quiet
"$cli" export "$doc" --format gltf -o "$work/skinned_normals.glb" --normals --quiet
"$cli" export "$doc" --format gltf -o "$work/layered_all.glb" --layered --normals --uv --quiet
"$cli" export "$doc" --format gltf -o "$work/layered.glb" --layered --quiet
"$cli" export "$doc" --format gltf -o "$work/layered_uv.glb" --layered --uv --item-uv --quiet
"$cli" export "$doc" --format gltf -o "$work/layered_some.glb" --layered --layers 1 --uv --quiet
for shape in planar conic spheric disc; do
    "$cli" new "$work/$shape.qrz" --shape "$shape" --res 12 9 > /dev/null
    "$cli" export "$work/$shape.qrz" --format gltf -o "$work/$shape.glb" --uv --quiet
done
exec "$node" "$script" "$tools" "$work"/*.glb "$work/demo/limb.glb"
