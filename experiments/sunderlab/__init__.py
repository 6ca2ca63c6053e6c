"""The experiment runner as a package: grid files (grid), the supervision of
the programs it starts (procs), one generator-into-solver run and its report
(pipeline), CSV files (table), gnuplot plots and the growth summary
(plotting), and the command line (cli). bench/peers/run uses procs, table and
plotting too.

Standard library only."""
