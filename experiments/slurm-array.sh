#!/usr/bin/env bash
# Runs one line of a job list made by `experiments/run GRID --emit-jobs jobs.txt`
# per task of a Slurm job array; each line writes its row to a file of its own.
#   sbatch --array=1-$(wc -l < jobs.txt) experiments/slurm-array.sh jobs.txt
#   experiments/run --collect jobs-rows -o results.csv     (when all are done)
#SBATCH --job-name=grid
#SBATCH --cpus-per-task=1
#SBATCH --time=02:00:00
#SBATCH --output=slurm-%A_%a.out
set -euo pipefail
line=$(sed -n "${SLURM_ARRAY_TASK_ID}p" "${1:?usage: slurm-array.sh JOBS_FILE}")
exec bash -c "$line"
