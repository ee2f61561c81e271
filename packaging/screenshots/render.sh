#!/bin/sh
# Renders the screenshots the AppStream metainfo lists, with the start-up
# example loop: render.sh PATH/TO/vanto-cli (run from this folder).
set -e
cli=${1:?usage: render.sh PATH/TO/vanto-cli}
"$cli" --closed render time --out time.png --size 800x450
"$cli" render freq --view bode-gain --margins --out freq.png --size 800x450
"$cli" render locus --closed-loop-marks --xmin -8 --xmax 4 --ymin -3.1 --out locus.png --size 800x450
"$cli" render sysdef --out sysdef.png --size 800x450
